#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>

// A single click on an item that also answers a double click: the click's action waits for the
// double-click interval and is dropped when the double click comes.
class PendingClick : public QObject {
    Q_OBJECT
public:
    explicit PendingClick(std::function<void(const std::string&)> action, QObject* parent = nullptr);

    void clicked(const std::string& id);
    void doubleClicked();  // drops the waiting click
    // Runs the waiting click now instead of at the end of the interval.
    void settle();

private:
    std::function<void(const std::string&)> action_;
    QTimer timer_;
    std::optional<std::string> id_;
};
