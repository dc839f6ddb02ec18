#include "Views/FileIcon.h"

#include "Platform/PathText.h"

#include <QFileIconProvider>
#include <QFileInfo>

QIcon fileIcon(const std::filesystem::path& path) {
    static const QFileIconProvider provider;
    return provider.icon(QFileInfo(PathText::display(path)));
}
