#include "Views/Common/FileIcon.h"

#include "Foundation/PathText.h"

#include <QFileIconProvider>
#include <QFileInfo>

QIcon fileIcon(const std::filesystem::path& path) {
    static const QFileIconProvider provider;
    return provider.icon(QFileInfo(PathText::display(path)));
}
