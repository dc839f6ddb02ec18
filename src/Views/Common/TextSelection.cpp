#include "Views/Common/TextSelection.h"

#include "Models/AppLocalization.h"
#include "Views/Common/GuardedMenu.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QWidget>

#include <algorithm>

TextSelection::TextSelection(QWidget* widget, TextSource text, AreaSource area, qreal radius)
    : QObject(widget), widget_(widget), text_(std::move(text)), area_(std::move(area)), radius_(radius) {
    widget_->setFocusPolicy(Qt::ClickFocus);
    widget_->setCursor(Qt::IBeamCursor);
    widget_->setContextMenuPolicy(Qt::DefaultContextMenu);
    widget_->installEventFilter(this);
}

TextSelection* TextSelection::attach(TextLabel* label, TextSource copied) {
    if (!copied) copied = [label] { return label->text(); };
    return new TextSelection(
        label, std::move(copied),
        [label] {
            const QRectF area = label->contentsRect();
            if (label->hasHeightForWidth()) return area;
            // The line as drawn: elided or shrunk to fit, at the leading edge of the label's direction.
            const TextLabel::Fit shown = label->fit(area.width());
            const qreal width = std::min(area.width(), QFontMetricsF(label->font()).horizontalAdvance(shown.text) * shown.scale);
            const bool right = label->layoutDirection() == Qt::RightToLeft;
            return QRectF(right ? area.right() + 1 - width : area.left(), area.top(), width, area.height()).adjusted(-2, 0, 2, 0);
        },
        3);
}

TextSelection* TextSelection::attach(Pill* pill, TextSource copied) {
    if (!copied) copied = [pill] { return pill->text(); };
    return new TextSelection(pill, std::move(copied), [pill] { return QRectF(pill->rect()); }, capsule);
}

void TextSelection::setSelected(bool selected) {
    if (selected == selected_) return;
    selected_ = selected;
    widget_->update();
}

void TextSelection::copy() const {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text_());
}

void TextSelection::showMenu(const QPoint& globalPos) {
    const GuardedMenu menu(widget_);
    QAction* copyAction = menu->addAction(AppLocalization::string("action.copy"));
    QAction* selectAll = menu->addAction(AppLocalization::string("action.selectAll"));
    const QPointer<TextSelection> self(this);
    QAction* chosen = menu->exec(globalPos);
    if (!self) return;  // the page was rebuilt under the menu
    if (chosen == copyAction) copy();
    if (chosen == selectAll) setSelected(true);
}

bool TextSelection::eventFilter(QObject* watched, QEvent* event) {
    if (watched != widget_) return false;
    switch (event->type()) {
    case QEvent::Paint:
        // Behind the text, which the widget then draws as always.
        if (selected_) {
            QPainter painter(widget_);
            painter.setRenderHint(QPainter::Antialiasing);
            QColor highlight = widget_->palette().color(QPalette::Highlight);
            highlight.setAlphaF(0.35f);
            const QRectF area = area_();
            painter.fillPath(ContinuousShape::roundedRect(area, radius_ == capsule ? area.height() / 2 : std::min(radius_, area.height() / 2)), highlight);
        }
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
        widget_->setFocus(Qt::MouseFocusReason);
        setSelected(true);
        return true;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            copy();
            return true;
        }
        if (key->matches(QKeySequence::SelectAll)) {
            setSelected(true);
            return true;
        }
        return false;
    }
    case QEvent::ContextMenu:
        showMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) setSelected(false);
        return false;
    default:
        return false;
    }
}
