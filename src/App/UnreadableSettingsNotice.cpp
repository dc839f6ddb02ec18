#include "App/UnreadableSettingsNotice.h"

#include "Models/AppLocalization.h"

#include <cstring>

std::unique_ptr<QMessageBox> makeUnreadableSettingsNotice(const SettingsFile::ReadFailure& failure, const QString& path) {
    QString reason;
    switch (failure.kind) {
    case SettingsFile::ReadFailure::Kind::notRegularFile: reason = AppLocalization::string("settings.notRegularFile"); break;
    case SettingsFile::ReadFailure::Kind::danglingLink: reason = AppLocalization::string("settings.danglingLink"); break;
    case SettingsFile::ReadFailure::Kind::systemError: reason = QString::fromLocal8Bit(std::strerror(failure.error)); break;
    }
    auto notice = std::make_unique<QMessageBox>();
    notice->setIcon(QMessageBox::Warning);
    notice->setWindowTitle(AppLocalization::string("Quarnell"));
    notice->setTextFormat(Qt::PlainText);
    notice->setText(AppLocalization::string("settings.unreadable.title"));
    notice->addButton(AppLocalization::string("action.ok"), QMessageBox::AcceptRole);
    notice->setInformativeText(AppLocalization::format("settings.unreadable.detail", {path, reason}));
    return notice;
}
