#include "Views/Common/FadingStack.h"

#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <QVariantAnimation>

// The picture of the old widget, drawn over the new one with an opacity that falls to zero.
class FadingStack::Overlay : public QWidget {
public:
    explicit Overlay(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        animation_.setStartValue(1.0);
        animation_.setEndValue(0.0);
        animation_.setEasingCurve(QEasingCurve::OutCubic);
        connect(&animation_, &QVariantAnimation::valueChanged, this, [this] { update(); });
        connect(&animation_, &QVariantAnimation::finished, this, [this] {
            hide();
            picture_ = QPixmap();
        });
        hide();
    }

    void fade(QPixmap picture, int durationMs) {
        picture_ = std::move(picture);
        setGeometry(parentWidget()->rect());
        animation_.stop();
        animation_.setDuration(durationMs);
        show();
        raise();
        animation_.start();
    }

    bool isRunning() const { return animation_.state() == QAbstractAnimation::Running; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setOpacity(animation_.currentValue().toReal());
        painter.drawPixmap(0, 0, picture_);
    }

private:
    QPixmap picture_;
    QVariantAnimation animation_;
};

FadingStack::FadingStack(int durationMs, QWidget* parent)
    : QWidget(parent), durationMs_(durationMs), layout_(new QVBoxLayout(this)), overlay_(new Overlay(this)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
}

void FadingStack::setCurrent(QWidget* next) {
    QWidget* previous = current_;
    current_ = next;
    layout_->addWidget(next);
    if (!previous) return;
    // Only a visible stack fades; a hidden one just swaps.
    if (isVisible() && previous->isVisible()) overlay_->fade(previous->grab(), durationMs_);
    layout_->removeWidget(previous);
    previous->deleteLater();
    previous->hide();
}

bool FadingStack::isFading() const { return overlay_->isRunning(); }
