// The application's start and quit over fake services, run by the quit tests as a child process:
// quarnell-quit-harness SETTINGS_FILE icons ICON... | scan | child FIFO
//   icons: the uninstaller lists one application per ICON (a file path); once every icon's decoding
//          has begun, the Quit command is given. An ICON that is a FIFO stands in for a file on a
//          mount that never answers: its decoding waits to open it, and no writer ever comes.
//   scan:  a scan whose walk never returns, stop or no stop, as in a folder that never lists; the Quit
//          command is given once it runs.
//   child: a worker that no stop request reaches runs a tool through ProcessRunner, which opens FIFO
//          for writing, holds it and runs on; the Quit command is given once the tool runs.
// Prints "quitting" just before the Quit command.
#include "App/QuarnellApp.h"
#include "App/QuitDeadline.h"
#include "Foundation/BackgroundJobs.h"
#include "Models/AppLocalization.h"
#include "Platform/ProcessRunner.h"
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Services/FakeAppServices.h"
#include "Views/Common/AppIcons.h"
#include "Views/Common/IconTheme.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void quitAsTheUserDoes(QuarnellApp& quarnell) {
    for (QAction* action : quarnell.mainWindow()->menuBar()->findChildren<QAction*>())
        if (action->text() == AppLocalization::string("menu.quit")) {
            say("quitting");
            action->trigger();
            return;
        }
    say("no Quit command");
    QApplication::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QuitDeadline::install();
    IconTheme::prepare();
    if (argc < 3) return 2;
    SettingsStore::shared().useFile(QString::fromLocal8Bit(argv[1]));
    SettingsStore::shared().setValue("didCompleteOnboarding", true);
    const bool scan = std::strcmp(argv[2], "scan") == 0;
    const bool child = std::strcmp(argv[2], "child") == 0;
    const std::vector<std::string> icons(child ? argv + argc : argv + 3, argv + argc);

    // Declared before the app's objects, so that it is destroyed after them, waiting for its worker.
    QObject toolOwner;
    BackgroundJobs tools(&toolOwner);
    std::atomic<bool> toolRuns = false;
    if (child && argc > 3) {
        const std::string fifo = argv[3];
        tools.run(std::stop_source(), [&toolRuns, fifo](std::stop_token) {
            ProcessRunner::Options options;
            options.limits.deadline = std::chrono::minutes(2);
            options.onOutput = [&toolRuns](std::string_view) { return toolRuns = true; };
            ProcessRunner::run("/bin/sh", {"-c", "exec 3>\"$1\"; echo up >&3; echo runs; exec sleep 120", "sh", fifo}, options);
            return 0;
        }, [](const JobOutcome<int>&) {});
    }

    std::atomic<int> decodingsBegun = 0;
    AppIcons::setBeforeDecode([&decodingsBegun](const std::string& iconName) {
        ++decodingsBegun;
        struct stat info {};
        if (::stat(iconName.c_str(), &info) == 0 && S_ISFIFO(info.st_mode)) ::open(iconName.c_str(), O_RDONLY | O_CLOEXEC);
    });

    FakeAppServices fake;
    fake.scansIgnoreStop = true;
    QuarnellApp quarnell(fake.services());
    std::vector<InstalledApplication> applications;
    for (const std::string& icon : icons) {
        InstalledApplication application;
        application.id = application.path = "/usr/share/applications/app" + std::to_string(applications.size()) + ".desktop";
        application.name = QString::fromStdString(icon);
        application.iconName = icon;
        applications.push_back(application);
    }
    quarnell.state().setSelectedSection(scan ? AppSection::storage : AppSection::uninstaller);
    quarnell.showMainWindow();
    if (scan) quarnell.state().startScan();

    // Every load is answered at once: what holds the quit is only what the scenario sets up.
    size_t answeredLoads = 0, answeredSearches = 0;
    bool quitting = false;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        for (; answeredLoads < fake.applicationLoads.size(); ++answeredLoads) fake.applicationLoads[answeredLoads]->succeed(applications);
        for (; answeredSearches < fake.artifactLoads.size(); ++answeredSearches) fake.artifactLoads[answeredSearches]->succeed({});
        const bool ready = scan ? fake.scans.size() > 0 : child ? toolRuns.load() : decodingsBegun.load() >= static_cast<int>(icons.size());
        if (ready && !quitting) {
            quitting = true;
            quitAsTheUserDoes(quarnell);
        }
    });
    turn.start(10);
    return app.exec();
}
