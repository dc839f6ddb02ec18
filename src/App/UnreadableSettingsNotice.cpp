#include "App/UnreadableSettingsNotice.h"

#include "Models/AppLocalization.h"
#include "Models/IsolatedText.h"

#include <cstring>

namespace {

// The path and the system's reason keep their own direction inside a sentence of either language.
std::unique_ptr<QMessageBox> settingsNotice(const char* titleKey, const QString& detail) {
    auto notice = std::make_unique<QMessageBox>();
    notice->setIcon(QMessageBox::Warning);
    notice->setWindowTitle(AppLocalization::string("Quarnell"));
    notice->setTextFormat(Qt::PlainText);
    notice->setText(AppLocalization::string(titleKey));
    notice->addButton(AppLocalization::string("action.ok"), QMessageBox::AcceptRole);
    notice->setInformativeText(detail);
    return notice;
}

}  // namespace

std::unique_ptr<QMessageBox> makeUnreadableSettingsNotice(const SettingsFile::ReadFailure& failure, const QString& path) {
    QString reason;
    switch (failure.kind) {
    case SettingsFile::ReadFailure::Kind::notRegularFile: reason = AppLocalization::string("settings.notRegularFile"); break;
    case SettingsFile::ReadFailure::Kind::danglingLink: reason = AppLocalization::string("settings.danglingLink"); break;
    case SettingsFile::ReadFailure::Kind::systemError: reason = QString::fromLocal8Bit(std::strerror(failure.error)); break;
    }
    return settingsNotice("settings.unreadable.title", AppLocalization::format("settings.unreadable.detail", {isolatedText(path), isolatedText(reason)}));
}

std::unique_ptr<QMessageBox> makeUnwritableSettingsNotice(int error, const QString& path) {
    const QString reason = QString::fromLocal8Bit(std::strerror(error));
    return settingsNotice("settings.unwritable.title", AppLocalization::format("settings.unwritable.detail", {isolatedText(path), isolatedText(reason)}));
}

std::unique_ptr<QMessageBox> makeDamagedSettingsNotice(const QString& path, const QString& copy) {
    return settingsNotice("settings.damaged.title", AppLocalization::format("settings.damaged.detail", {isolatedText(path), isolatedText(copy)}));
}
