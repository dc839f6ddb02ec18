#include "App/QuitDeadline.h"

#include "Foundation/BackgroundJobs.h"
#include "Foundation/ProcessEnd.h"
#include "Platform/ProcessRunner.h"

#include <QCoreApplication>

#include <cstdlib>
#include <system_error>
#include <thread>

namespace QuitDeadline {

namespace {

// A write under way is a few system calls, or an fsync on a busy disk; one stuck on a mount that
// does not answer is given up after this.
constexpr std::chrono::milliseconds stepLimit{400};

}  // namespace

void install(std::chrono::milliseconds grace) {
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [grace] {
        BackgroundJobs::stopAll();
        try {
            // Detached: it touches nothing that static destructors take away, and a process that
            // ends first ends it too.
            std::thread([grace] {
                std::this_thread::sleep_for(grace);
                ProcessRunner::endAll();
                ProcessEnd::now(EXIT_SUCCESS, stepLimit);
            }).detach();
        } catch (const std::system_error&) {
            // No thread to spare: the quit then waits for the workers, as it would without a deadline.
        }
    });
}

}  // namespace QuitDeadline
