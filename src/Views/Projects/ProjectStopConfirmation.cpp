#include "Views/Projects/ProjectStopConfirmation.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Services/SystemMonitor.h"
#include "Models/IsolatedText.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <algorithm>

namespace {

QString names(const std::vector<DevProject>& projects) {
    QStringList list;
    for (const DevProject& project : projects) list << isolatedText(DisplayText::name(QString::fromStdString(project.name)));
    return list.join(QStringLiteral(", "));
}

}  // namespace

ProjectStopConfirmation::ProjectStopConfirmation(SystemMonitor* monitor, QWidget* owner) : QObject(owner), monitor_(monitor), owner_(owner) {}

ProjectStopConfirmation::~ProjectStopConfirmation() {
    delete dialog_.data();
    delete failureNotice_.data();
}

std::vector<DevProject> ProjectStopConfirmation::resolve(const std::vector<DevProject>& pending, const std::vector<DevProject>& current) {
    std::vector<DevProject> targets;
    for (const DevProject& asked : pending) {
        auto now = std::find_if(current.begin(), current.end(), [&](const DevProject& listed) { return listed.id == asked.id; });
        if (now == current.end()) continue;
        DevProject target = *now;
        target.processes.clear();
        target.pids.clear();
        for (const ProcessIdentity& process : now->processes) {
            if (std::find(asked.processes.begin(), asked.processes.end(), process) == asked.processes.end()) continue;
            target.processes.push_back(process);
            target.pids.push_back(process.pid);
        }
        if (!target.processes.empty()) targets.push_back(std::move(target));
    }
    return targets;
}

void ProjectStopConfirmation::request(std::vector<DevProject> projects) {
    pending_ = std::move(projects);
    emit pendingChanged();
    if (pending_.empty()) {
        if (dialog_) dialog_->close();
        return;
    }
    if (!dialog_) {
        dialog_ = new QMessageBox(owner_ ? owner_->window() : nullptr);
        dialog_->setIcon(QMessageBox::Warning);
        dialog_->setTextFormat(Qt::PlainText);
        dialog_->setWindowModality(Qt::WindowModal);
        stopButton_ = dialog_->addButton(AppLocalization::string("projects.confirm.stop"), QMessageBox::DestructiveRole);
        cancelButton_ = dialog_->addButton(AppLocalization::string("action.cancel"), QMessageBox::RejectRole);
        dialog_->setDefaultButton(qobject_cast<QPushButton*>(cancelButton_));
        dialog_->setEscapeButton(cancelButton_);
        connect(dialog_, &QMessageBox::buttonClicked, this, [this](QAbstractButton* button) {
            if (button == stopButton_) confirm();
        });
        connect(dialog_, &QDialog::finished, this, &ProjectStopConfirmation::dismissed);
    }
    const QString title = AppLocalization::format("projects.confirm.title", {(long long)pending_.size()});
    dialog_->setWindowTitle(title);
    dialog_->setText(title);
    dialog_->setInformativeText(AppLocalization::format("projects.confirm.detail", {names(pending_)}));
    dialog_->open();
}

void ProjectStopConfirmation::confirm() {
    std::vector<DevProject> asked = std::exchange(pending_, {});
    emit pendingChanged();
    if (!monitor_) return;
    const std::vector<DevProject> targets = resolve(asked, monitor_->projects());
    if (targets.empty()) return;
    reportFailures(monitor_->stop(targets));
}

void ProjectStopConfirmation::dismissed() {
    if (pending_.empty()) return;
    pending_.clear();
    emit pendingChanged();
}

void ProjectStopConfirmation::reportFailures(const std::vector<DevProject>& failed) {
    if (failed.empty()) return;
    delete failureNotice_.data();
    failureNotice_ = new QMessageBox(owner_ ? owner_->window() : nullptr);
    failureNotice_->setAttribute(Qt::WA_DeleteOnClose);
    failureNotice_->setIcon(QMessageBox::Warning);
    failureNotice_->setTextFormat(Qt::PlainText);
    failureNotice_->setWindowModality(Qt::WindowModal);
    const QString title = AppLocalization::format("projects.stopFailed.title", {(long long)failed.size()});
    failureNotice_->setWindowTitle(title);
    failureNotice_->setText(title);
    failureNotice_->setInformativeText(AppLocalization::format("projects.stopFailed.detail", {names(failed)}));
    failureNotice_->addButton(AppLocalization::string("action.ok"), QMessageBox::AcceptRole);
    failureNotice_->open();
}
