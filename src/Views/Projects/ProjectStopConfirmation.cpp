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

ProjectStopConfirmation::Resolved ProjectStopConfirmation::resolve(const std::vector<DevProject>& pending, const std::vector<DevProject>& current) {
    Resolved resolved;
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
        if (target.processes.empty()) resolved.changed.push_back(*now);
        else resolved.targets.push_back(std::move(target));
    }
    return resolved;
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
    dialog_->setWindowTitle(AppLocalization::string("Quarnell"));  // a title bar would cut the question
    dialog_->setText(title);
    dialog_->setInformativeText(AppLocalization::format("projects.confirm.detail", {names(pending_)}));
    dialog_->open();
}

void ProjectStopConfirmation::confirm() {
    std::vector<DevProject> asked = std::exchange(pending_, {});
    emit pendingChanged();
    if (!monitor_) return;
    const Resolved resolved = resolve(asked, monitor_->projects());
    const std::vector<DevProject> failed = resolved.targets.empty() ? std::vector<DevProject>() : monitor_->stop(resolved.targets);
    reportFailures(failed, resolved.changed);
}

void ProjectStopConfirmation::dismissed() {
    if (pending_.empty()) return;
    pending_.clear();
    emit pendingChanged();
}

std::unique_ptr<QMessageBox> ProjectStopConfirmation::makeFailureNotice(const std::vector<DevProject>& failed, const std::vector<DevProject>& changed) {
    if (failed.empty() && changed.empty()) return nullptr;
    auto notice = std::make_unique<QMessageBox>();
    notice->setIcon(QMessageBox::Warning);
    notice->setTextFormat(Qt::PlainText);
    const QString title = AppLocalization::format("projects.stopFailed.title", {(long long)(failed.size() + changed.size())});
    notice->setWindowTitle(AppLocalization::string("Quarnell"));
    notice->setText(title);
    QStringList details;
    if (!failed.empty()) details << AppLocalization::format("projects.stopFailed.detail", {names(failed)});
    if (!changed.empty()) details << AppLocalization::format("projects.stopChanged.detail", {names(changed)});
    notice->setInformativeText(details.join(QStringLiteral("\n\n")));
    notice->addButton(AppLocalization::string("action.ok"), QMessageBox::AcceptRole);
    return notice;
}

void ProjectStopConfirmation::reportFailures(const std::vector<DevProject>& failed, const std::vector<DevProject>& changed) {
    auto notice = makeFailureNotice(failed, changed);
    if (!notice) return;
    delete failureNotice_.data();
    failureNotice_ = notice.release();
    failureNotice_->setParent(owner_ ? owner_->window() : nullptr, failureNotice_->windowFlags());
    failureNotice_->setAttribute(Qt::WA_DeleteOnClose);
    failureNotice_->setWindowModality(Qt::WindowModal);
    failureNotice_->open();
}
