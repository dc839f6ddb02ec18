#include "Views/DesignSystem/RankedRow.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

// A row with a default action reads as one button: its labels are not separate elements.
class RankedRowAccessible : public QAccessibleWidget {
public:
    explicit RankedRowAccessible(RankedRow* row) : QAccessibleWidget(row, QAccessible::Button) {}
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return row()->accessibleSummary();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        QStringList names{pressAction()};
        for (const QAction* action : widget()->actions())
            if (action->isEnabled()) names << action->text();
        return names;
    }
    void doAction(const QString& name) override {
        if (name == pressAction()) return row()->runDefaultAction();
        for (QAction* action : widget()->actions())
            if (action->isEnabled() && action->text() == name) return action->trigger();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    const RankedRow* row() const { return static_cast<const RankedRow*>(widget()); }
};

QAccessibleInterface* accessibleRankedRow(const QString& className, QObject* object) {
    if (className != QLatin1String("RankedRow") || !static_cast<RankedRow*>(object)->hasDefaultAction()) return nullptr;
    return new RankedRowAccessible(static_cast<RankedRow*>(object));
}

}  // namespace

RankedRow::RankedRow(const QIcon& icon, const QString& symbol, const QString& title, const QString& subtitle, const QString& value, double fraction,
                     const DynamicColor& tint, bool highlighted, QWidget* parent)
    : QWidget(parent),
      icon_(new IconImageView(icon, 36)),
      badge_(new IconBadge({}, tint, 34)),
      title_(new TextLabel(title, Fonts::system(15, QFont::DemiBold))),
      subtitle_(new TextLabel(subtitle, Fonts::system(13), DynamicColor::secondary())),
      value_(new TextLabel(value, Fonts::system(15, QFont::DemiBold))),
      bar_(new ThinBar(fraction, tint, 4)),
      highlighted_(highlighted) {
    subtitle_->setElideMode(Qt::ElideMiddle);
    bar_->setFixedWidth(220);

    auto* picture = new QWidget;
    picture->setFixedSize(36, 36);
    auto* pictureLayout = new QStackedLayout(picture);
    pictureLayout->setStackingMode(QStackedLayout::StackAll);
    pictureLayout->addWidget(icon_);
    auto* badgeHolder = new QWidget;
    auto* centred = new QHBoxLayout(badgeHolder);
    centred->setContentsMargins(1, 1, 1, 1);
    centred->addWidget(badge_);
    pictureLayout->addWidget(badgeHolder);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(title_);
    texts->addWidget(subtitle_);

    auto* figure = new QVBoxLayout;
    figure->setSpacing(8);
    figure->addWidget(value_, 0, Qt::AlignTrailing);
    figure->addWidget(bar_, 0, Qt::AlignTrailing);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 12, 18, 12);
    row->setSpacing(16);
    row->addWidget(picture);
    row->addLayout(texts, 1);
    row->addSpacing(20 - 16);
    row->addLayout(figure);

    setSymbol(symbol);
    setIcon(icon);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void RankedRow::setDefaultAction(std::function<void()> action) {
    static const bool accessible = (QAccessible::installFactory(accessibleRankedRow), true);
    (void)accessible;
    defaultAction_ = std::move(action);
}

void RankedRow::runDefaultAction() const {
    if (defaultAction_) defaultAction_();
}

QString RankedRow::accessibleSummary() const {
    QStringList parts;
    for (const TextLabel* label : {title_, subtitle_, value_})
        if (!label->text().isEmpty()) parts << label->text();
    return parts.join(QStringLiteral(", "));
}

bool RankedRow::showsIcon() const { return !icon_->isHidden(); }

void RankedRow::setIcon(const QIcon& icon) {
    icon_->setIcon(icon);
    icon_->setVisible(!icon.isNull());
    badge_->parentWidget()->setVisible(icon.isNull());
}

void RankedRow::setSymbol(const QString& symbol) { badge_->setSymbol(symbol.isEmpty() ? QStringLiteral("app") : symbol); }
void RankedRow::setTitle(const QString& title) { title_->setText(title); }
void RankedRow::setSubtitle(const QString& subtitle) { subtitle_->setText(subtitle); }
void RankedRow::setValue(const QString& value) { value_->setText(value); }
void RankedRow::setFraction(double fraction) { bar_->setFraction(fraction); }

void RankedRow::setTint(const DynamicColor& tint) {
    badge_->setTint(tint);
    bar_->setTint(tint);
}

void RankedRow::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    update();
}

void RankedRow::paintEvent(QPaintEvent*) {
    if (!highlighted_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::roundedRect(rect(), 12), DS::raised.resolved());
}

void RankedRow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void RankedRow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}
