#pragma once

#include "Views/DesignSystem/Ease.h"

#include <QColor>
#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QVariantAnimation>

#include <functional>

class QWidget;

// The progress of one animated change of a painted component: runs from 0 to 1 over the duration
// on the easing curve and repaints the owner at every step. A component keeps the value it comes
// from and mixes it with the new one by progress(). An owner with nothing on screen (hidden or
// scrolled away) jumps straight to the end.
class Transition : public QObject {
    Q_OBJECT
public:
    Transition(QWidget* owner, int durationMs, const QEasingCurve& curve);
    // The design system's ease-out.
    Transition(QWidget* owner, int durationMs);

    // What a step does instead of repainting the whole owner: an owner that knows what moved can
    // repaint only that.
    void setStep(std::function<void()> step) { step_ = std::move(step); }
    // Whose being on screen decides whether frames are drawn, when not the owner's own: an owner
    // that grows from nothing has no visible part when it starts.
    void setShownWith(QWidget* widget) { shownWith_ = widget; }

    void start();
    qreal progress() const;
    bool isRunning() const { return animation_.state() == QAbstractAnimation::Running; }
    int durationMs() const { return animation_.duration(); }

    static qreal mix(qreal from, qreal to, qreal progress) { return from + (to - from) * progress; }
    static QColor mix(const QColor& from, const QColor& to, qreal progress) {
        return QColor::fromRgbF(float(mix(from.redF(), to.redF(), progress)), float(mix(from.greenF(), to.greenF(), progress)),
                                float(mix(from.blueF(), to.blueF(), progress)), float(mix(from.alphaF(), to.alphaF(), progress)));
    }
    static QRectF mix(const QRectF& from, const QRectF& to, qreal progress) {
        return QRectF(QPointF(mix(from.left(), to.left(), progress), mix(from.top(), to.top(), progress)),
                      QPointF(mix(from.right(), to.right(), progress), mix(from.bottom(), to.bottom(), progress)));
    }

    // A spring of 0.32 s response and 0.86 damping, settled after 0.45 s.
    static QEasingCurve spring();
    static constexpr int springDurationMs = 450;

signals:
    // At the end of every run, also one that jumped straight there.
    void finished();

private:
    void step();

    QPointer<QWidget> owner_;
    QPointer<QWidget> shownWith_;
    QVariantAnimation animation_;
    std::function<void()> step_;
};
