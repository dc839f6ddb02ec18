#include "Foundation/BackgroundJobs.h"

#include <QCoreApplication>
#include <QMetaObject>

// By default a scan, a duplicate search, a list load and a move may all run at once; none waits for another.
BackgroundJobs::BackgroundJobs(QObject* owner, int workers) : owner_(owner) {
    pool_.setMaxThreadCount(workers);
}

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
