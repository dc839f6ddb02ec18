#include "ViewSupport/TextFitCheck.h"

#include "Views/DesignSystem/TextLabel.h"
#include "Views/Tools/ToolsRailRow.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QScrollBar>

namespace TextFitCheck {
namespace {

// A widget named for the report: its class, its text and the nearest named ancestors.
QString describe(const QWidget& widget) {
    QString text = widget.accessibleName();
    if (auto* label = qobject_cast<const TextLabel*>(&widget)) text = label->text();
    else if (auto* qlabel = qobject_cast<const QLabel*>(&widget)) text = qlabel->text();
    else if (auto* button = qobject_cast<const QAbstractButton*>(&widget); button && !button->text().isEmpty()) text = button->text();
    QStringList path;
    for (const QWidget* w = widget.parentWidget(); w && path.size() < 3; w = w->parentWidget())
        if (QString name = QString::fromLatin1(w->metaObject()->className()); !name.startsWith('Q')) path.prepend(name);
    return QStringLiteral("%1 %2 \"%3\" %4x%5")
        .arg(path.join('>'), QString::fromLatin1(widget.metaObject()->className()), text.left(60))
        .arg(widget.width())
        .arg(widget.height());
}

// Scroll areas are sized by their container and clip what lies outside their viewport on
// purpose; their viewport and scroll bars are sized by the area.
bool belongsToScrollArea(const QWidget& widget) {
    if (qobject_cast<const QAbstractScrollArea*>(&widget) || qobject_cast<const QScrollBar*>(&widget)) return true;
    return widget.parentWidget() && qobject_cast<const QAbstractScrollArea*>(widget.parentWidget());
}

bool isScrollViewport(const QWidget& widget) {
    auto* area = widget.parentWidget() ? qobject_cast<const QAbstractScrollArea*>(widget.parentWidget()) : nullptr;
    return area && area->viewport() == &widget;
}

// The room a widget's content needs at its present width.
QSize neededSize(const QWidget& widget) {
    QSize needed = widget.minimumSizeHint();
    if (!needed.isValid()) needed = needed.expandedTo(QSize(0, 0));
    const QSizePolicy policy = widget.sizePolicy();
    if (widget.hasHeightForWidth() && policy.verticalPolicy() != QSizePolicy::Ignored) {
        const int height = widget.layout() ? widget.layout()->totalHeightForWidth(widget.width()) : widget.heightForWidth(widget.width());
        if (height > 0) needed.setHeight(height);
    }
    if (policy.horizontalPolicy() == QSizePolicy::Ignored) needed.setWidth(0);
    if (policy.verticalPolicy() == QSizePolicy::Ignored) needed.setHeight(0);
    return needed;
}

// The part of `widget` that its containers leave visible, up to the window or a scroll viewport.
bool isClipped(const QWidget& widget, const QWidget& window) {
    QRect shown = widget.rect();
    QPoint offset;
    for (const QWidget* w = &widget; w != &window && w->parentWidget(); w = w->parentWidget()) {
        offset += w->pos();
        const QWidget* parent = w->parentWidget();
        if (isScrollViewport(*parent)) return false;
        shown &= parent->rect().translated(-offset);
    }
    return shown != widget.rect();
}

}  // namespace

QStringList faults(const QWidget& window) {
    QStringList found;
    if (auto* dialog = qobject_cast<const QDialog*>(&window)) {
        const int titleWidth = dialog->fontMetrics().horizontalAdvance(dialog->windowTitle());
        // The window manager's title bar keeps room for its buttons beside the title.
        if (titleWidth + 120 > dialog->width())
            found << QStringLiteral("title wider than its dialog: \"%1\" %2 in %3").arg(dialog->windowTitle()).arg(titleWidth).arg(dialog->width());
    }
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    for (const QWidget* widget : widgets) {
        if (!widget->isVisible() || widget->isWindow()) continue;
        if (auto* label = qobject_cast<const TextLabel*>(widget)) {
            if (label->isCut() && label->elideMode() != Qt::ElideMiddle) found << "cut: " + describe(*label);
            else if (label->fit(label->contentsRect().width()).scale < 1) found << "shrunk: " + describe(*label);
        }
        if (auto* row = qobject_cast<const ToolsRailRow*>(widget); row && row->isCut()) found << "cut: " + describe(*row);
        if (auto* label = qobject_cast<const QLabel*>(widget); label && !label->text().isEmpty()) {
            const bool cut = label->wordWrap() ? label->height() < label->heightForWidth(label->width())
                                               : label->width() < label->sizeHint().width();
            if (cut) found << "cut: " + describe(*label);
        }
        if (belongsToScrollArea(*widget)) continue;
        const QSize needed = neededSize(*widget);
        if (widget->width() < needed.width() || widget->height() < needed.height())
            found << QStringLiteral("squeezed below %1x%2: ").arg(needed.width()).arg(needed.height()) + describe(*widget);
        if (isClipped(*widget, window)) found << "clipped: " + describe(*widget);
    }
    found.removeDuplicates();
    return found;
}

}  // namespace TextFitCheck
