#include "Views/DesignSystem/FocusRing.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

namespace {

constexpr const char* keyboardFocusProperty = "quarnellKeyboardFocus";

// Remembers on each widget whether its focus last arrived from the keyboard. Qt also gives the
// Tab reason when it moves focus on its own (the focused widget was hidden or deleted), so a Tab
// reason counts only right after a Tab key was pressed.
class FocusReasonTracker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            tabPressed_ = key == Qt::Key_Tab || key == Qt::Key_Backtab;
            break;
        }
        case QEvent::MouseButtonPress:
            tabPressed_ = false;
            break;
        case QEvent::FocusIn:
            if (watched->isWidgetType()) {
                const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
                const bool byTab = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
                const bool keyboard = (byTab && tabPressed_) || reason == Qt::ShortcutFocusReason;
                if (byTab) tabPressed_ = false;
                if (watched->property(keyboardFocusProperty).toBool() != keyboard) watched->setProperty(keyboardFocusProperty, keyboard);
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    bool tabPressed_ = false;
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
