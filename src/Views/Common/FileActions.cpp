#include "Views/Common/FileActions.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Views/Common/FileActionAlerts.h"
#include "Platform/FileViewer.h"
#include "Foundation/PathText.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>

namespace FileActions {
namespace {

Desktop realDesktop() {
    return {[](const QUrl& url) { return QDesktopServices::openUrl(url); }, &FileViewer::showItem};
}

Desktop& desktop() {
    static Desktop current = realDesktop();
    return current;
}

}  // namespace

void setDesktop(Desktop replacement) {
    desktop() = replacement.openUrl && replacement.showItem ? std::move(replacement) : realDesktop();
}

void open(const std::filesystem::path& path) {
    if (!desktop().openUrl(FileViewer::url(path)))
        emit FileActionAlerts::shared().failed(AppLocalization::format("fileActions.cannotOpen", {DisplayText::name(path.filename())}));
}

void reveal(const std::filesystem::path& path) {
    desktop().showItem(path, [path](bool shown) {
        if (shown) return;
        std::filesystem::path parent = path.parent_path();
        if (!desktop().openUrl(FileViewer::url(parent.empty() ? path : parent)))
            emit FileActionAlerts::shared().failed(AppLocalization::format("fileActions.cannotReveal", {DisplayText::name(path.filename())}));
    });
}

void copyPath(const std::filesystem::path& path) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(PathText::display(path));
}

}  // namespace FileActions
