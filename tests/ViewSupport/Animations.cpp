#include "ViewSupport/Animations.h"

#include <QAbstractAnimation>
#include <QTest>

namespace Animations {

bool anyRunning(const QObject& root) {
    const auto animations = root.findChildren<QAbstractAnimation*>();
    return std::any_of(animations.begin(), animations.end(),
                       [](const QAbstractAnimation* animation) { return animation->state() == QAbstractAnimation::Running; });
}

bool waitForEnd(const QObject& root, int timeoutMs) {
    // Animations start from posted events: those go first.
    QCoreApplication::sendPostedEvents();
    return QTest::qWaitFor([&] { return !anyRunning(root); }, timeoutMs);
}

}  // namespace Animations
