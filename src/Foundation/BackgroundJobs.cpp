#include "Foundation/BackgroundJobs.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

// Never destroyed: owners may outlive static objects.
std::stop_source& allJobs() {
    static auto* const source = new std::stop_source;
    return *source;
}

}  // namespace

// By default a scan, a duplicate search, a list load and a move may all run at once; none waits for another.
BackgroundJobs::BackgroundJobs(QObject* owner, int workers)
    : owner_(owner), followStopAll_(allJobs().get_token(), [this] { shutdown_.request_stop(); }) {
    pool_.setMaxThreadCount(workers);
}

void BackgroundJobs::stopAll() { allJobs().request_stop(); }

BackgroundJobs::~BackgroundJobs() {
    shutdown_.request_stop();
    pool_.waitForDone();
}

void BackgroundJobs::post(std::function<void()> closure) const {
    // Posted to the application object, which outlives the owner; the guard is tested on arrival.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [guard = owner_, closure = std::move(closure)] {
            if (guard) closure();
        },
        Qt::QueuedConnection);
}
