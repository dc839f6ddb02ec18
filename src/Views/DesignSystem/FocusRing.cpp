#include "Views/DesignSystem/FocusRing.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPainter>
#include <QWidget>

namespace {

constexpr const char* keyboardFocusProperty = "quarnellKeyboardFocus";

// Remembers on each widget how its focus last arrived.
class FocusReasonTracker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn && watched->isWidgetType()) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            const bool keyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
            if (watched->property(keyboardFocusProperty).toBool() != keyboard) watched->setProperty(keyboardFocusProperty, keyboard);
        }
        return false;
    }
};

void trackFocusReasons() {
    static const bool installed = [] {
        if (qApp) qApp->installEventFilter(new FocusReasonTracker(qApp));
        return qApp != nullptr;
    }();
    (void)installed;
}

}  // namespace

bool showsFocusRing(const QWidget& widget) {
    trackFocusReasons();
    return widget.hasFocus() && widget.property(keyboardFocusProperty).toBool();
}

void paintFocusRing(QPainter& painter, const QWidget& widget, const QPainterPath& shape, qreal width) {
    if (!showsFocusRing(widget)) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(widget.palette().color(QPalette::Highlight), width));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    painter.restore();
}
