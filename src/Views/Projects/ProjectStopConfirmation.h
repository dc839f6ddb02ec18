#pragma once

#include "Models/DevProject.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QAbstractButton;

class QWidget;
class SystemMonitor;

// Asks before developer projects are stopped. A page's stop action only fills the pending list;
// the dialog opens over the owner's window while the list is not empty, and any way of closing it
// empties the list again. At confirm each project is looked up afresh and only its processes that
// are still the very processes seen are signalled; the projects that could not be stopped, and those
// left alone because they changed since the question, are named.
class ProjectStopConfirmation : public QObject {
    Q_OBJECT
public:
    ProjectStopConfirmation(SystemMonitor* monitor, QWidget* owner);
    ~ProjectStopConfirmation() override;

    // Sets the pending list and asks; an empty list closes the dialog.
    void request(std::vector<DevProject> projects);
    const std::vector<DevProject>& pending() const { return pending_; }

    QMessageBox* dialog() const { return dialog_; }
    QAbstractButton* stopButton() const { return stopButton_; }
    QAbstractButton* cancelButton() const { return cancelButton_; }
    // The notice naming the projects that could not be stopped, while it is open.
    QMessageBox* failureNotice() const { return failureNotice_; }

    struct Resolved {
        std::vector<DevProject> targets;  // to signal now
        std::vector<DevProject> changed;  // still listed, but none of the processes seen is left
    };
    // What to signal now for the pending projects: each as it is listed at this moment, keeping only
    // its processes that are still the ones seen when the stop was asked. A project whose processes
    // were all replaced (it restarted) is not signalled but named as changed; one no longer listed
    // has ended and needs nothing.
    static Resolved resolve(const std::vector<DevProject>& pending, const std::vector<DevProject>& current);

    // The notice naming projects the system refused to stop and projects left alone because they
    // changed; nothing when there are none.
    static std::unique_ptr<QMessageBox> makeFailureNotice(const std::vector<DevProject>& failed, const std::vector<DevProject>& changed);

signals:
    void pendingChanged();

private:
    void confirm();
    void dismissed();
    void reportFailures(const std::vector<DevProject>& failed, const std::vector<DevProject>& changed);

    SystemMonitor* monitor_;
    QPointer<QWidget> owner_;
    std::vector<DevProject> pending_;
    QPointer<QMessageBox> dialog_;
    QAbstractButton* stopButton_ = nullptr;
    QAbstractButton* cancelButton_ = nullptr;
    QPointer<QMessageBox> failureNotice_;
};
