#include "ViewSupport/Settling.h"

#include "Views/Common/AppIcons.h"

#include <QAbstractAnimation>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace Settling {

bool isAnimating(const QObject& root) {
    const auto animations = root.findChildren<QAbstractAnimation*>();
    return std::any_of(animations.begin(), animations.end(),
                       [](const QAbstractAnimation* animation) { return animation->state() == QAbstractAnimation::Running; });
}

namespace {

// Where every widget of the tree is, and whether it shows.
std::vector<int> layoutOf(const QWidget& root) {
    std::vector<int> places;
    for (const QWidget* widget : root.findChildren<QWidget*>()) {
        const QRect box = widget->geometry();
        places.insert(places.end(), {box.x(), box.y(), box.width(), box.height(), widget->isVisible()});
    }
    return places;
}

}  // namespace

bool waitUntilStill(QWidget& root, int timeoutMs) {
    std::vector<int> previous;
    return QTest::qWaitFor(
        [&] {
            QCoreApplication::sendPostedEvents();
            std::vector<int> now = layoutOf(root);
            const bool still = !isAnimating(root) && AppIcons::shared().isIdle() && now == previous;
            previous = std::move(now);
            return still;
        },
        timeoutMs);
}

}  // namespace Settling
