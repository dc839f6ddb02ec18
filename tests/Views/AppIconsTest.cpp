#include "Support/FifoWatch.h"
#include "Support/TempTree.h"
#include "Views/Common/AppIcons.h"
#include "Views/Common/FileIcon.h"
#include "Views/Common/IconTheme.h"
#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"

#include <QBuffer>
#include <QImage>

#include <sys/stat.h>


#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::string png(QColor colour) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

QColor centre(const QIcon& icon) {
    return icon.pixmap(32, 32).toImage().pixelColor(16, 16);
}

}  // namespace

// A desktop entry's Icon path that is a FIFO (or anything but a regular file) must never hold the
// window in open(); the icon falls back to the theme's program icon. The lookup runs on the GUI
// thread here as in the app.
TEST(AppIcons, APathThatIsNoRegularFileNeverBlocks) {
    TempTree tree;
    const fs::path fifo = tree.path() / "icon.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    FifoWatch watch(fifo);
    // Looked up and drawn, as a row does.
    const QImage fromFifo = AppIcons::icon(fifo.string()).pixmap(32, 32).toImage();
    const QImage fromFolder = AppIcons::icon(tree.folder("folder.png").string()).pixmap(32, 32).toImage();
    EXPECT_FALSE(watch.waited()) << "the icon lookup waited on the FIFO";
    const QImage fallback = AppIcons::icon("").pixmap(32, 32).toImage();
    EXPECT_EQ(fromFifo, fallback);
    EXPECT_EQ(fromFolder, fallback);
}

// A desktop entry's Icon that is neither an absolute path nor a theme name ("../../x") names no
// file: the theme's folders are never climbed out of, to a FIFO or anywhere else.
TEST(AppIcons, ANameThatClimbsOutOfTheThemeIsNoIcon) {
    TempTree tree;
    const fs::path fifo = tree.path() / "evil.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    FifoWatch watch(fifo);
    // From any theme folder, as many ".." as there are parts reach the root and then the FIFO.
    std::string climbing;
    for (int i = 0; i < 24; ++i) climbing += "../";
    climbing += (tree.path() / "evil").relative_path().string();
    const QImage drawn = AppIcons::icon(climbing).pixmap(32, 32).toImage();
    EXPECT_FALSE(watch.waited()) << "the icon lookup waited on the FIFO";
    EXPECT_EQ(drawn, AppIcons::icon("").pixmap(32, 32).toImage());
}

TEST(AppIcons, ARegularFileIsReadOnceAndKept) {
    TempTree tree;
    const fs::path file = tree.write("red.png", png(Qt::red));
    const QIcon icon = AppIcons::icon(file.string());
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(centre(icon), QColor(Qt::red));
    // Drawn from what was read: replacing the file by a FIFO later changes and blocks nothing.
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(centre(AppIcons::icon(file.string())), QColor(Qt::red));
    EXPECT_EQ(icon.pixmap(64, 64).toImage().pixelColor(8, 8), QColor(Qt::red));
}

// Qt's own loader reads each theme's index.theme and icon cache with a blocking open: it is given
// no folder in the user's home, where those names may be FIFOs. The screens' icons come from
// IconLookup, which opens nothing.
TEST(IconTheme, QtsOwnLoaderIsGivenNoFolderTheUserCanWrite) {
    IconTheme::prepare();
    const SystemRoots roots = SystemRoots::current();
    for (const QString& folder : QIcon::themeSearchPaths() + QIcon::fallbackSearchPaths()) {
        const std::string path = PathText::fromText(folder).lexically_normal().string();
        for (const fs::path& user : {roots.home, roots.dataHome})
            EXPECT_FALSE(!user.empty() && (path == user.string() || path.starts_with(user.string() + "/"))) << path;
    }
}

// A file's icon comes from its name and kind, without opening it: a FIFO named like a video waits for nothing.
TEST(FileIcon, TheItemIsNeverOpened) {
    TempTree tree;
    const fs::path fifo = tree.path() / "clip.mp4";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    FifoWatch watch(fifo);
    const QImage drawn = fileIcon(fifo).pixmap(32, 32).toImage();
    EXPECT_FALSE(watch.waited());
    EXPECT_FALSE(drawn.isNull());
    EXPECT_FALSE(fileIcon(tree.folder("folder")).isNull());
}
