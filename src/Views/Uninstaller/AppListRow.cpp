#include "Views/Uninstaller/AppListRow.h"

#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Views/Common/AppIconSlot.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/FocusRing.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Storage/BucketActions.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Tells assistive technology which row is the selected application.
class AppListRowAccessible : public QAccessibleWidget {
public:
    explicit AppListRowAccessible(AppListRow* row) : QAccessibleWidget(row, QAccessible::ListItem) {}
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = static_cast<AppListRow*>(widget())->isSelected();
        return state;
    }
};

QAccessibleInterface* accessibleAppListRow(const QString& className, QObject* object) {
    if (className != QLatin1String("AppListRow")) return nullptr;
    return new AppListRowAccessible(static_cast<AppListRow*>(object));
}

}  // namespace

AppListRow::AppListRow(InstalledApplication app, bool isSelected, const DynamicColor& tint, QWidget* parent)
    : QWidget(parent), app_(std::move(app)), isSelected_(isSelected), tint_(tint) {
    static const bool accessible = (QAccessible::installFactory(accessibleAppListRow), true);
    (void)accessible;
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 8, 10, 8);
    row->setSpacing(12);
    icon_ = new IconImageView({}, 34);
    row->addWidget(icon_);
    iconSlot_ = new AppIconSlot(this, [this](const QIcon& icon) { icon_->setIcon(icon); });
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    name_ = new TextLabel({}, Fonts::system(14, QFont::DemiBold));
    name_->setObjectName("appName");
    texts->addWidget(name_);
    version_ = new TextLabel({}, Fonts::system(12), DynamicColor::secondary());
    texts->addWidget(version_);
    row->addLayout(texts, 1);
    row->addSpacing(8);
    size_ = new TextLabel({}, Fonts::system(12, QFont::Medium));
    size_->setObjectName("appSize");
    row->addWidget(size_);
    follow();
}

void AppListRow::setApplication(InstalledApplication app, bool isSelected) {
    app_ = std::move(app);
    const bool changed = isSelected != isSelected_;
    isSelected_ = isSelected;
    follow();
    if (changed && QAccessible::isActive()) {
        QAccessible::State selection;
        selection.selected = true;
        QAccessibleStateChangeEvent event(this, selection);
        QAccessible::updateAccessibility(&event);
    }
}

void AppListRow::follow() {
    iconSlot_->setIconName(app_.iconName);
    name_->setText(DisplayText::name(app_.name));
    version_->setText(DisplayText::name(app_.version));
    size_->setVisible(app_.size >= 1);
    size_->setText(ByteFormatting::string(app_.size));
    size_->setColor(isSelected_ ? tint_ : DynamicColor::secondary());
    setAccessibleName(app_.name);
    setAccessibleDescription(DisplayText::name(app_.version));
    update();
}

void AppListRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = ContinuousShape::roundedRect(rect(), 12);
    if (isSelected_) painter.fillPath(shape, DS::raised.resolved());
    else if (hovering_) painter.fillPath(shape, DS::raised.resolved(0.5));
    if (isSelected_) {
        // The marker: a capsule 3 by 20, 1 point in from the leading edge.
        const qreal x = isRightToLeft() ? width() - 1 - 3 : 1;
        const QRectF marker(x, (height() - 20) / 2.0, 3, 20);
        painter.fillPath(ContinuousShape::capsule(marker), tint_.resolved());
    }
    paintFocusRing(painter, *this, ContinuousShape::roundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 11), 2);
}

void AppListRow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

void AppListRow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AppListRow::enterEvent(QEnterEvent*) {
    hovering_ = true;
    update();
}

void AppListRow::leaveEvent(QEvent*) {
    hovering_ = false;
    update();
}

void AppListRow::contextMenuEvent(QContextMenuEvent* event) { BucketActions::showRevealMenu(this, event->globalPos(), app_.path); }
