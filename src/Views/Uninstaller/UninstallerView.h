#pragma once

#include "Models/AppArtifact.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <vector>

class AppListCard;
class AppState;
class UninstallerDetail;

// The uninstaller section: the installed applications on the left, the selected one with its
// leftovers on the right. Each time it is shown it asks AppState to list the applications again.
// Before anything goes to the Trash it asks; the result, or the failure, is shown until dismissed.
class UninstallerView : public QWidget {
    Q_OBJECT
public:
    UninstallerView(AppState& state, const DynamicColor& tint, QWidget* parent = nullptr);

    AppListCard* appList() const { return appList_; }
    UninstallerDetail* detail() const { return detail_; }
    QMessageBox* confirmation() const { return confirmation_; }
    QMessageBox* resultAlert() const;

    // The trash button's question: it remembers the ticked leftovers as they are now, and only
    // those go when the user confirms.
    void askToTrash();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    AppState& state_;
    DynamicColor tint_;
    AppListCard* appList_;
    UninstallerDetail* detail_;
    QPointer<QMessageBox> confirmation_;
    class MessageAlert* result_;
};
