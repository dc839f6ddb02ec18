#include "Views/DesignSystem/PillTabBar.h"

#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/FocusRing.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolTextRow.h"
#include "Views/DesignSystem/Transition.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QPainter>

#include <algorithm>
#include <cmath>

// One tab: its label only; the bar draws the track and the marker behind it. Checked while
// selected, so assistive technology hears which tab is chosen.
class PillTabBar::Tab : public QAbstractButton {
public:
    Tab(const TabItem& item, bool compact, QWidget* parent) : QAbstractButton(parent), item_(item), compact_(compact) {
        setCheckable(true);
        setText(item.title);
        setAccessibleName(item.title);
        setFocusPolicy(Qt::TabFocus);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    const TabItem& item() const { return item_; }

    void setSelected(bool selected) {
        setChecked(selected);
        updateGeometry();  // the semibold title is wider
        update();
    }

    SymbolTextRow label() const {
        const QFont font = Fonts::system(compact_ ? 13 : 14, isChecked() ? QFont::DemiBold : QFont::Medium);
        return {item_.symbol, qreal(compact_ ? 12 : 13), item_.title, font, 7};
    }
    qreal padding() const { return compact_ ? 12 : 14; }

    QSize sizeHint() const override {
        return {int(std::ceil(label().size().width() + 2 * padding())), compact_ ? 30 : 32};
    }

protected:
    void nextCheckState() override {}  // the selection is the caller's; a tap only reports itself

    bool hitButton(const QPoint& position) const override { return ContinuousShape::capsule(rect()).contains(position); }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        paintFocusRing(painter, *this, ContinuousShape::capsule(QRectF(rect()).adjusted(1, 1, -1, -1)));
        const QColor ink = isChecked() ? item_.tint.resolved() : DynamicColor::secondary().resolved();
        // Centred: a tab of a segmented bar may be wider than its label.
        const SymbolTextRow row = label();
        const qreal labelWidth = std::min(row.size().width(), width() - 2 * padding());
        row.paint(painter, QRectF((width() - labelWidth) / 2, 0, labelWidth, height()), ink, isRightToLeft());
    }

private:
    TabItem item_;
    bool compact_;
};

PillTabBar::PillTabBar(const std::vector<TabItem>& items, const QString& selection, bool compact, QWidget* parent)
    : QWidget(parent),
      selection_(selection),
      compact_(compact),
      row_(new QHBoxLayout(this)),
      transition_(new Transition(this, Transition::springDurationMs, Transition::spring())) {
    row_->setContentsMargins(3, 3, 3, 3);
    row_->setSpacing(2);
    row_->setSizeConstraint(QLayout::SetFixedSize);
    setItems(items);
}

void PillTabBar::setItems(const std::vector<TabItem>& items) {
    for (Tab* tab : tabs_) delete tab;
    tabs_.clear();
    items_ = items;
    for (const TabItem& item : items_) {
        auto* tab = new Tab(item, compact_, this);
        tab->setSelected(item.id == selection_);
        connect(tab, &QAbstractButton::clicked, this, [this, id = item.id] { select(id); });
        if (segmented_) tab->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        row_->addWidget(tab, segmented_ ? 1 : 0);
        tabs_.push_back(tab);
    }
    markerStart_ = {};
    update();
}

void PillTabBar::setSegmentedWidth(int width) {
    segmented_ = true;
    row_->setSizeConstraint(QLayout::SetDefaultConstraint);
    setItems(std::vector<TabItem>(items_));
    setFixedSize(std::max(width, row_->minimumSize().width()), row_->sizeHint().height());
}

PillTabBar::Tab* PillTabBar::selectedTab() const {
    for (Tab* tab : tabs_)
        if (tab->isChecked()) return tab;
    return nullptr;
}

QRectF PillTabBar::markerRect() const {
    const Tab* tab = selectedTab();
    return tab ? QRectF(tab->geometry()) : QRectF();
}

void PillTabBar::setSelection(const QString& id) {
    if (id == selection_) return;
    // The marker sets off from where it is drawn now, also in the middle of a slide.
    const QRectF from = markerRect();
    QRectF shown = from;
    if (transition_->isRunning() && !markerStart_.isEmpty() && !from.isEmpty()) shown = Transition::mix(markerStart_, from, transition_->progress());
    selection_ = id;
    for (Tab* tab : tabs_) tab->setSelected(tab->item().id == id);
    markerStart_ = shown;
    transition_->start();
}

void PillTabBar::select(const QString& id) {
    setSelection(id);
    emit selectionChanged(id);
}

void PillTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(ContinuousShape::capsule(rect()), DS::track.resolved(0.6));
    const Tab* tab = selectedTab();
    if (!tab) return;
    QRectF marker = tab->geometry();
    const qreal t = transition_->progress();
    if (t < 1 && !markerStart_.isEmpty()) marker = Transition::mix(markerStart_, marker, t);
    painter.fillPath(ContinuousShape::capsule(marker), tab->item().tint.resolved(0.18));
}
