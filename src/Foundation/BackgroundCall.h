#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

#include <memory>
#include <utility>

// Runs a blocking call on the shared thread pool and hands its result to `deliver` on the main
// thread, unless `owner` has been destroyed by then. Callers that may be superseded add their own
// generation check in `deliver`. Nothing waits for the call: it ends with its own time limits.
template <typename Owner, typename Work, typename Deliver>
void runInBackground(Owner* owner, Work work, Deliver deliver) {
    QPointer<Owner> guard(owner);
    QThreadPool::globalInstance()->start([guard, work, deliver]() mutable {
        auto result = std::make_shared<decltype(work())>(work());
        QCoreApplication* application = QCoreApplication::instance();
        if (!application) return;  // the application has quit meanwhile
        QMetaObject::invokeMethod(
            application,
            [guard, deliver, result]() mutable {
                if (guard) deliver(*guard, std::move(*result));
            },
            Qt::QueuedConnection);
    });
}
