#include "Support/FifoWatch.h"
#include "Support/TempTree.h"
#include "App/MenuBarPanel/PanelTopApps.h"
#include "Services/FakeAppServices.h"
#include "Views/Common/AppIcons.h"
#include "Views/Common/FileIcon.h"
#include "Views/Common/IconFile.h"
#include "Views/Common/IconTheme.h"
#include "Views/Common/SvgCost.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/Monitor/AppList.h"
#include "Views/Monitor/BreakdownCard.h"
#include "Views/Monitor/TopAppTile.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Uninstaller/AppListCard.h"
#include "Views/Uninstaller/AppListRow.h"
#include "Views/Uninstaller/UninstallerDetail.h"
#include "Views/Uninstaller/UninstallerHeroCard.h"
#include "Views/Uninstaller/UninstallerView.h"
#include "ViewSupport/CostlyIcons.h"
#include "ViewSupport/UninstallerFixture.h"
#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QThread>

#include <sys/stat.h>

#include <condition_variable>
#include <mutex>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

std::string png(QColor colour, int side = 32) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// A scalable icon of `paths` half-transparent red squares, all over its centre.
std::string heavySvg(int paths) {
    std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">)";
    for (int i = 0; i < paths; ++i) svg += R"(<path d="M28 28h8v8h-8z" fill="#ff0000" fill-opacity="0.5"/>)";
    return svg + "</svg>";
}

// A scalable icon of one finely drawn path: `segments` short strokes zigzagging across, as traced
// artwork has them.
std::string detailedPathSvg(int segments) {
    std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 256 256"><path fill="#f00" d="M0 120)";
    for (int i = 0; i < segments; ++i) svg += i % 2 ? "l.08 -8" : "l.08 8";
    return svg + R"(V256H0z"/></svg>)";
}

QColor centre(const QIcon& icon) {
    return icon.pixmap(32, 32).toImage().pixelColor(16, 16);
}

bool isRed(const QColor& colour) { return colour.red() > 200 && colour.green() < 60 && colour.blue() < 60 && colour.alpha() > 200; }

QImage drawn(const QIcon& icon) { return icon.pixmap(32, 32).toImage(); }

// The icon a view shows: its first icon image.
QImage shownIn(const QWidget& view) { return drawn(view.findChild<IconImageView*>()->icon()); }

QImage fallback() { return drawn(AppIcons::shared().icon("")); }

// Lets every icon asked for so far be decoded and handed to its rows; the bound only ends a failing run.
bool decodingEnds() { return QTest::qWaitFor([] { return AppIcons::shared().isIdle(); }, 60'000); }

QIcon decoded(const std::string& iconName) {
    AppIcons::shared().icon(iconName);
    EXPECT_TRUE(decodingEnds());
    return AppIcons::shared().icon(iconName);
}

// Holds the decoding of one icon until open(), and records the thread it runs on.
class DecodeGate {
public:
    explicit DecodeGate(std::string iconName) : iconName_(std::move(iconName)) {
        AppIcons::setBeforeDecode([this](const std::string& name) {
            if (name != iconName_) return;
            std::unique_lock lock(mutex_);
            thread_ = QThread::currentThread();
            changed_.notify_all();
            changed_.wait(lock, [this] { return open_; });
        });
    }
    ~DecodeGate() {
        open();
        EXPECT_TRUE(decodingEnds());
        AppIcons::setBeforeDecode({});
    }
    // The thread that reached the held icon, once one has.
    QThread* waitForDecoder() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return thread_ != nullptr; });
        return thread_;
    }
    void open() {
        const std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::string iconName_;
    std::mutex mutex_;
    std::condition_variable changed_;
    QThread* thread_ = nullptr;
    bool open_ = false;
};

AppUsage usage(const std::string& name, const std::string& iconName) {
    AppUsage app;
    app.id = name;
    app.name = name;
    app.iconName = iconName;
    app.processCount = 1;
    return app;
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
    const QImage fromFifo = drawn(decoded(fifo.string()));
    const QImage fromFolder = drawn(decoded(tree.folder("folder.png").string()));
    EXPECT_FALSE(watch.waited()) << "the icon lookup waited on the FIFO";
    EXPECT_EQ(fromFifo, fallback());
    EXPECT_EQ(fromFolder, fallback());
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
    const QImage shown = drawn(decoded(climbing));
    EXPECT_FALSE(watch.waited()) << "the icon lookup waited on the FIFO";
    EXPECT_EQ(shown, fallback());
}

TEST(AppIcons, ARegularFileIsReadOnceAndKept) {
    TempTree tree;
    const fs::path file = tree.write("red.png", png(Qt::red));
    const QIcon icon = decoded(file.string());
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(centre(icon), QColor(Qt::red));
    // Drawn from what was read: replacing the file by a FIFO later changes and blocks nothing.
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(centre(AppIcons::shared().icon(file.string())), QColor(Qt::red));
    EXPECT_TRUE(AppIcons::shared().isIdle()) << "a kept icon was decoded again";
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

// Building the uninstaller's list and detail, the monitor's rows and tile, and the panel's top
// applications returns while the icon is still being decoded on another thread: they show the program
// icon, then each shows the application's own once it is ready.
TEST(AppIcons, AHeavyIconIsDecodedOffTheWindowsThreadWhileEveryRowShowsTheFallback) {
    TempTree tree;
    const std::string heavy = tree.write("heavy.svg", heavySvg(2'000)).string();
    DecodeGate gate(heavy);

    UninstallerFixture fixture;
    UninstallerView uninstaller(fixture.state(), DynamicColor::primary());
    uninstaller.resize(1320, 880);
    uninstaller.show();
    InstalledApplication application = UninstallerFixture::application("org.example.Heavy", "Heavy", 1000);
    application.iconName = heavy;
    fixture.answerApplications({application});
    ASSERT_TRUE(waitUntil([&] { return uninstaller.appList()->rows()->builtCount() == 1 && uninstaller.detail()->hero(); }));

    const AppUsage app = usage("heavy", heavy);
    AppList monitorList(QStringLiteral("column"), DS::amber);
    monitorList.setApps({app}, [](const AppUsage&, const AppUsage&) { return 1.0; }, [](const AppUsage&) { return QStringLiteral("1"); });
    TopAppTile tile(DS::amber);
    tile.setApp(app, QStringLiteral("1"));
    BreakdownCard breakdown(QStringLiteral("title"), QStringLiteral("cpu"), DS::blue, [](const AppUsage&) { return 1.0; },
                            [](double) { return QStringLiteral("1"); });
    breakdown.setApps({app}, QStringLiteral("1"));
    PanelTopApps panel(DS::blue, [](const AppUsage&) { return 1.0; }, [](const AppUsage&) { return QStringLiteral("1"); });
    panel.setApps({app});
    const std::vector<const QWidget*> views{uninstaller.appList()->rows()->row(0), uninstaller.detail()->hero(), &monitorList, &tile, &breakdown, &panel};

    EXPECT_NE(gate.waitForDecoder(), QThread::currentThread());
    for (const QWidget* view : views) EXPECT_EQ(shownIn(*view), fallback()) << view->metaObject()->className();
    gate.open();
    ASSERT_TRUE(decodingEnds());
    for (const QWidget* view : views) EXPECT_TRUE(isRed(shownIn(*view).pixelColor(16, 16))) << view->metaObject()->className();
    EXPECT_FALSE(tile.showsPlaceholder());
}

// An icon that arrives for a row which shows another application by then leaves the row's new icon
// alone, and one whose rows are gone changes nothing.
TEST(AppIcons, AnIconArrivingForARowThatMovedOnOrClosedChangesNothing) {
    TempTree tree;
    const std::string held = tree.write("held.png", png(Qt::red)).string();
    const std::string later = tree.write("later.png", png(Qt::blue)).string();
    DecodeGate gate(held);
    InstalledApplication application = UninstallerFixture::application("org.example.Held", "Held", 1000);
    application.iconName = held;
    AppListRow row(application, false, DynamicColor::primary());
    auto tile = std::make_unique<TopAppTile>(DS::amber);
    tile->setApp(usage("held", held), QStringLiteral("1"));
    PanelTopApps panel(DS::blue, [](const AppUsage&) { return 1.0; }, [](const AppUsage&) { return QStringLiteral("1"); });
    panel.setApps({usage("held", held)});
    gate.waitForDecoder();

    application.iconName = later;
    row.setApplication(application, false);
    tile.reset();
    panel.setApps({usage("later", later)});
    const auto showsLater = [&] { return shownIn(row).pixelColor(16, 16) == QColor(Qt::blue) && shownIn(panel).pixelColor(16, 16) == QColor(Qt::blue); };
    ASSERT_TRUE(QTest::qWaitFor(showsLater, 60'000));
    gate.open();
    ASSERT_TRUE(decodingEnds());
    EXPECT_TRUE(showsLater());
}

TEST(SvgCost, CountsWhatDrawingVisitsWithEveryUseRepeatingItsTarget) {
    EXPECT_EQ(SvgCost::drawingCost(QByteArray::fromStdString(heavySvg(3)), 100), 1 + 3 * 6);  // each square: itself and 5 segments
    EXPECT_EQ(SvgCost::drawingCost(QByteArray::fromStdString(heavySvg(10'000)), 5'000), 5'001);
    // A use that comes before the group it repeats: the svg, the use with the group's two, the group's two.
    EXPECT_EQ(SvgCost::drawingCost(R"(<svg xmlns:xlink="http://www.w3.org/1999/xlink"><use xlink:href="#g"/><g id="g"><path/></g></svg>)", 100), 6);
    // Thirty levels that each use the one below twice: few elements, a billion drawn.
    QByteArray doubling = R"(<svg><defs><path id="l0" d="M0 0h1v1z"/>)";
    for (int level = 1; level <= 30; ++level)
        doubling += QStringLiteral(R"(<g id="l%1"><use href="#l%2"/><use href="#l%2"/></g>)").arg(level).arg(level - 1).toUtf8();
    doubling += R"(</defs><use href="#l30"/></svg>)";
    EXPECT_EQ(SvgCost::drawingCost(doubling, 16'000), 16'001);
    EXPECT_EQ(SvgCost::drawingCost(R"(<svg><g id="a"><use href="#a"/></g></svg>)", 100), 101);  // repeats itself
    EXPECT_EQ(SvgCost::drawingCost("<svg><path></svg>", 100), 101);  // cannot be read
    // Nested or chained deeper than drawing should recurse, however few elements that is.
    const auto nested = [](int levels) { return "<svg>" + QByteArray("<g>").repeated(levels) + QByteArray("</g>").repeated(levels) + "</svg>"; };
    EXPECT_EQ(SvgCost::drawingCost(nested(200), 1'000'000), 201);
    EXPECT_EQ(SvgCost::drawingCost(nested(300), 1'000'000), 1'000'001);
    QByteArray chain = R"(<svg><path id="u0"/>)";
    for (int link = 1; link <= 300; ++link) chain += QStringLiteral(R"(<g id="u%1"><use href="#u%2"/></g>)").arg(link).arg(link - 1).toUtf8();
    EXPECT_EQ(SvgCost::drawingCost(chain + R"(<use href="#u300"/></svg>)", 1'000'000), 1'000'001);
}

// A path costs as much as its outline has segments: one of 480,000 lines across the image, which Qt
// fills for half a minute, is refused from its text alone, while the most detailed theme icons (a few
// thousand segments) pass. Numbers are told apart as the renderer reads them.
TEST(SvgCost, APathCostsEverySegmentOfItsOutline) {
    EXPECT_EQ(SvgCost::drawingCost(QByteArray::fromStdString(onePathIcon(480'000)), 16'000), 16'001);
    EXPECT_EQ(SvgCost::drawingCost(QByteArray::fromStdString(onePathIcon(3'000)), 16'000), 1 + 1 + 1 + 3'000);  // svg, path, move, lines
    // A command repeats for every further group of its numbers; a close is a segment; "1-2" and "3.5.5"
    // are two numbers each, "1e-2" one.
    EXPECT_EQ(SvgCost::drawingCost(R"(<svg><path d="M0 0L1-2 3.5.5 1e-2 4z"/></svg>)", 100), 1 + 1 + (1 + 3 + 1));
    EXPECT_EQ(SvgCost::drawingCost(R"(<svg><path d="M0,0 1,1 2,2C1 1 2 2 3 3 4 4 5 5 6 6H9V9h1v1A5 5 0 0 1 9 9"/></svg>)", 100),
              1 + 1 + (3 + 2 + 4 + 1));
    EXPECT_EQ(SvgCost::drawingCost(R"(<svg><polygon points="0,0 10,0 10,10 0,10"/></svg>)", 100), 1 + 1 + 4);
    // A path repeated by uses costs every time it is drawn.
    QByteArray repeated = R"(<svg><defs><path id="p" d="M0 0L9 9"/></defs>)" + QByteArray("<use href=\"#p\"/>").repeated(5'000) + "</svg>";
    EXPECT_EQ(SvgCost::drawingCost(repeated, 16'000), 16'001);
}

// What an icon is never worth: a file larger than icons are, a scalable image that draws more than an
// icon does, a bitmap of more pixels than the screens use, a compressed image whose real size is unknown.
TEST(IconFile, WorkBeyondAnIconsIsNotDone) {
    TempTree tree;
    EXPECT_EQ(IconFile::decode({tree.write("detailed.svg", heavySvg(1'000))}).size(), 1u);
    EXPECT_EQ(IconFile::decode({tree.write("large.png", png(Qt::red, 1024))}).size(), 1u);
    EXPECT_TRUE(IconFile::decode({tree.write("heavy.svg", heavySvg(20'000))}).empty());
    EXPECT_EQ(IconFile::decode({tree.write("detailed-path.svg", detailedPathSvg(3'000))}).size(), 1u);
    const fs::path giant = tree.write("giant-path.svg", onePathIcon(480'000));
    ASSERT_LT(fs::file_size(giant), 4u << 20);  // small enough for an icon file: its cost alone refuses it
    EXPECT_TRUE(IconFile::decode({giant}).empty());
    std::string doubling = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 1 1"><defs><path id="l0" d="M0 0h1v1z" fill-opacity="0.5"/>)";
    for (int level = 1; level <= 40; ++level)
        doubling += "<g id=\"l" + std::to_string(level) + "\"><use href=\"#l" + std::to_string(level - 1) + "\"/><use href=\"#l" +
                    std::to_string(level - 1) + "\"/></g>";
    EXPECT_TRUE(IconFile::decode({tree.write("doubling.svg", doubling + R"(</defs><use href="#l40"/></svg>)")}).empty());
    EXPECT_TRUE(IconFile::decode({tree.write("huge.png", png(Qt::red, 1025))}).empty());
    EXPECT_TRUE(IconFile::decode({tree.file("big.svg", 5 << 20, ' ')}).empty());

    const fs::path plain = tree.write("plain.svg", heavySvg(1));
    QProcess gzip;
    gzip.setStandardOutputFile(QString::fromStdString((tree.path() / "plain.svgz").string()));
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-c"), QString::fromStdString(plain.string())});
    ASSERT_TRUE(gzip.waitForFinished(60'000) && gzip.exitCode() == 0);
    EXPECT_TRUE(IconFile::decode({tree.path() / "plain.svgz"}).empty());
}
