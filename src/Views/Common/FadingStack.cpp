#include "Views/Common/FadingStack.h"

#include "Views/DesignSystem/Transition.h"

#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

// The picture of the old widget, drawn over the new one with an opacity that falls to zero.
class FadingStack::Overlay : public QWidget {
public:
    Overlay(QWidget* parent, int durationMs) : QWidget(parent), fade_(this, durationMs) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        connect(&fade_, &Transition::finished, this, [this] {
            hide();
            picture_ = QPixmap();
        });
        hide();
    }

    void fade(QPixmap picture) {
        picture_ = std::move(picture);
        setGeometry(parentWidget()->rect());
        show();
        raise();
        fade_.start();
    }

    bool isRunning() const { return fade_.isRunning(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setOpacity(1 - fade_.progress());
        painter.drawPixmap(0, 0, picture_);
    }

private:
    QPixmap picture_;
    Transition fade_;
};

FadingStack::FadingStack(int durationMs, QWidget* parent)
    : QWidget(parent), layout_(new QVBoxLayout(this)), overlay_(new Overlay(this, durationMs)) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
}

void FadingStack::setCurrent(QWidget* next) {
    QWidget* previous = current_;
    current_ = next;
    layout_->addWidget(next);
    // In a shown stack the new widget would appear only a turn later: what measures the stack in
    // between would find it empty.
    next->show();
    if (!previous) return;
    // Only a visible stack fades; a hidden one just swaps.
    if (isVisible() && previous->isVisible()) overlay_->fade(previous->grab());
    layout_->removeWidget(previous);
    previous->deleteLater();
    previous->hide();
}

bool FadingStack::isFading() const { return overlay_->isRunning(); }
