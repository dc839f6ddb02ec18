#include "Views/Common/RevealBox.h"

#include <QEvent>
#include <QPainter>

RevealBox::RevealBox(QWidget* content, int durationMs, QWidget* parent)
    : QWidget(parent), content_(content), ease_(this, durationMs) {
    content->setParent(this);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    ease_.setStep([this] {
        updateGeometry();
        update();
    });
    connect(&ease_, &Transition::finished, this, [this] {
        leaving_ = QPixmap();
        updateGeometry();
    });
}

int RevealBox::contentHeight(int width) const {
    if (!content_ || content_->isHidden()) return 0;
    return content_->hasHeightForWidth() ? content_->heightForWidth(width) : content_->sizeHint().height();
}

int RevealBox::shownHeight(int width) const {
    const int target = contentHeight(width);
    if (!ease_.isRunning()) return target;
    return int(std::lround(Transition::mix(easeFrom_, target, ease_.progress())));
}

QSize RevealBox::sizeHint() const {
    const int w = content_ ? content_->sizeHint().width() : 0;
    return {w, shownHeight(width() > 0 ? width() : w)};
}

QSize RevealBox::minimumSizeHint() const {
    return {content_ ? content_->minimumSizeHint().width() : 0, sizeHint().height()};
}

void RevealBox::easeNextChange() {
    easeFrom_ = height();
    // Only the part on screen can be seen leaving.
    const QRect seen = content_ && content_->isVisible() ? content_->visibleRegion().boundingRect() : QRect();
    leaving_ = seen.isEmpty() ? QPixmap() : content_->grab(seen);
    leavingAt_ = seen.topLeft();
    ease_.setShownWith(parentWidget() ? parentWidget() : this);  // the box may start from nothing
    ease_.start();
}

void RevealBox::placeContent() {
    if (content_) content_->setGeometry(0, 0, width(), std::max(contentHeight(width()), 0));
}

bool RevealBox::event(QEvent* event) {
    // The content's height changed (rows shown or hidden): follow it.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        placeContent();
    }
    return QWidget::event(event);
}

void RevealBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeContent();
}

void RevealBox::paintEvent(QPaintEvent*) {
    // While shrinking, what left stays in the part not yet covered.
    if (leaving_.isNull() || !ease_.isRunning() || contentHeight(width()) >= height()) return;
    QPainter painter(this);
    painter.drawPixmap(leavingAt_, leaving_);
}
