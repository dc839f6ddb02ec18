#pragma once

#include <QIcon>
#include <QObject>

#include <functional>
#include <string>

// Keeps one place of a view showing an application's icon: the program icon at once, the application's
// own when it has been decoded. The place follows the name it was given last, so a row that shows
// another application by the time an icon arrives is not given the earlier one's; a slot destroyed with
// its view is called no more.
class AppIconSlot : public QObject {
    Q_OBJECT
public:
    AppIconSlot(QObject* parent, std::function<void(const QIcon&)> show);

    // Shows the icon of `iconName` now, and again when its own is ready.
    void setIconName(const std::string& iconName);

private:
    std::function<void(const QIcon&)> show_;
    std::string iconName_;
};
