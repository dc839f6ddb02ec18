#include "Views/Common/FileIcon.h"

#include "Foundation/PathText.h"
#include "Views/Common/IconTheme.h"

#include <QFileIconProvider>
#include <QFileInfo>

QIcon fileIcon(const std::filesystem::path& path) {
    IconTheme::prepare();
    static const QFileIconProvider provider;
    return provider.icon(QFileInfo(PathText::display(path)));
}
