#pragma once

#include "Views/DesignSystem/TabItem.h"

#include <QRectF>
#include <QWidget>

#include <vector>

class QHBoxLayout;
class Transition;

// A segmented bar of capsule tabs on a DS.track capsule at 60 %. The selected tab shows its
// symbol and title in its tint (semibold) on a capsule of its tint at 18 % that slides over from
// the previous tab with a spring; the others are secondary (medium). A selection that matches
// no tab shows no marker. Tabs are 32 high (30 when compact, with smaller type and padding).
// The selection belongs to the caller: a tap reports the tab's id and moves the marker there.
class PillTabBar : public QWidget {
    Q_OBJECT
public:
    PillTabBar(const std::vector<TabItem>& items, const QString& selection, bool compact = false, QWidget* parent = nullptr);

    void setItems(const std::vector<TabItem>& items);
    void setSelection(const QString& id);
    const QString& selection() const { return selection_; }
    bool isCompact() const { return compact_; }
    // Spreads the tabs evenly over `width`, as a segmented picker of that width does; a tab is
    // never narrower than its label.
    void setSegmentedWidth(int width);

    // The selected tab's frame, where the marker rests; empty when no tab matches.
    QRectF markerRect() const;

signals:
    // Every tap, also on the selected tab (the caller's selection is written again).
    void selectionChanged(const QString& id);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class Tab;
    Tab* selectedTab() const;
    void select(const QString& id);

    std::vector<TabItem> items_;
    QString selection_;
    bool compact_;
    bool segmented_ = false;
    QHBoxLayout* row_;
    std::vector<Tab*> tabs_;
    QRectF markerStart_;  // where the sliding marker set off from; empty: it appears in place
    Transition* transition_;
};
