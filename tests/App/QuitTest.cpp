#include "Support/TempTree.h"
#include "ViewSupport/CostlyIcons.h"

#include <QElapsedTimer>
#include <QProcess>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Quit promises an end within a second; ten times that ends a failing run yet passes on any machine.
constexpr int quitBoundMs = 10'000;

struct QuitRun {
    bool quitGiven = false;
    bool ended = false;
    int exitCode = -1;
    qint64 afterQuitMs = 0;
    QString output;
};

// Runs the app's start and quit (tests/Harness) with `arguments` until it gives the Quit command, then
// gives it quitBoundMs to end; one that does not is killed.
QuitRun runUntilQuit(const TempTree& tree, QStringList arguments) {
    QProcess harness;
    harness.setProcessChannelMode(QProcess::MergedChannels);
    arguments.prepend(QString::fromStdString((tree.path() / "settings.conf").string()));
    harness.start(QStringLiteral(QUARNELL_QUIT_HARNESS), arguments);
    QuitRun run;
    // Starting takes what a slow machine needs; the bound only ends a failing run.
    QElapsedTimer clock;
    clock.start();
    while (!run.quitGiven && harness.state() != QProcess::NotRunning && clock.elapsed() < 120'000) {
        harness.waitForReadyRead(1000);
        run.output += QString::fromLocal8Bit(harness.readAll());
        run.quitGiven = run.output.contains(QLatin1String("quitting\n"));
    }
    clock.restart();
    run.ended = run.quitGiven && harness.waitForFinished(quitBoundMs);
    run.afterQuitMs = clock.elapsed();
    if (harness.state() != QProcess::NotRunning) {
        harness.kill();
        harness.waitForFinished(-1);
    }
    run.output += QString::fromLocal8Bit(harness.readAll());
    if (run.ended) run.exitCode = harness.exitStatus() == QProcess::NormalExit ? harness.exitCode() : -1;
    return run;
}

}  // namespace

// An application icon on a mount that never answers (a FIFO nobody writes, opened as such a mount
// would be) beside a scalable icon of one path of 480,000 segments, each being decoded: the process
// ends within a second of Quit, waiting neither for the read nor for the drawing.
TEST(Quit, TheProcessEndsWhileAnIconIsStuckOnAHungMountOrCostlyToDraw) {
    TempTree tree;
    const fs::path hung = tree.path() / "hung.png";
    ASSERT_EQ(::mkfifo(hung.c_str(), 0600), 0);
    const fs::path giant = tree.write("giant.svg", onePathIcon(480'000));
    const QuitRun run = runUntilQuit(tree, {QStringLiteral("icons"), QString::fromStdString(hung.string()), QString::fromStdString(giant.string())});
    ASSERT_TRUE(run.quitGiven) << run.output.toStdString();
    EXPECT_TRUE(run.ended) << "still running " << run.afterQuitMs << " ms after Quit";
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
}

// One step beside the icons: a scan whose walk is stuck in a folder that never lists, and that no
// stop request reaches, does not hold the process either.
TEST(Quit, TheProcessEndsWhileAScanIsStuckInAFolder) {
    TempTree tree;
    const QuitRun run = runUntilQuit(tree, {QStringLiteral("scan")});
    ASSERT_TRUE(run.quitGiven) << run.output.toStdString();
    EXPECT_TRUE(run.ended) << "still running " << run.afterQuitMs << " ms after Quit";
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
}

// A tool run through ProcessRunner by a worker that no stop request reaches: once the process has
// ended, the tool is gone too. The tool holds the only write end of a FIFO, so the end of file tells
// that it ended, whatever became of its id.
TEST(Quit, NoChildToolOutlivesTheProcess) {
    TempTree tree;
    const fs::path fifo = tree.path() / "tool-alive";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    const QuitRun run = runUntilQuit(tree, {QStringLiteral("child"), QString::fromStdString(fifo.string())});
    ASSERT_TRUE(run.quitGiven) << run.output.toStdString();
    EXPECT_TRUE(run.ended) << "still running " << run.afterQuitMs << " ms after Quit";

    std::string heard;
    bool endOfFile = false;
    QElapsedTimer clock;
    clock.start();
    while (!endOfFile && clock.elapsed() < quitBoundMs) {
        pollfd ready{reader, POLLIN, 0};
        if (::poll(&ready, 1, static_cast<int>(std::max<qint64>(quitBoundMs - clock.elapsed(), 0))) <= 0) continue;
        char buffer[64];
        const ssize_t got = ::read(reader, buffer, sizeof buffer);
        if (got > 0) heard.append(buffer, static_cast<size_t>(got));
        endOfFile = got == 0;
    }
    ::close(reader);
    EXPECT_EQ(heard, "up\n");
    EXPECT_TRUE(endOfFile) << "the tool still runs after the process ended";
}
