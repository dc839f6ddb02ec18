#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QIcon>
#include <QWidget>

#include <functional>

class IconBadge;
class IconImageView;
class TextLabel;
class ThinBar;

// One line of a ranked list: the icon (or, without one, a badge of the symbol, "app" by default)
// in a 36-point frame, the title (15 semibold) over the subtitle (13, secondary, elided in the
// middle so both ends of a path stay), and at the trailing end the value (15 semibold) over a
// 220-wide, 4-high bar of the row's share. A highlighted row lies on DS.raised (radius 12).
// Clicks are reported; what they do is the screen's.
class RankedRow : public QWidget {
    Q_OBJECT
public:
    RankedRow(const QIcon& icon, const QString& symbol, const QString& title, const QString& subtitle, const QString& value, double fraction,
              const DynamicColor& tint, bool highlighted = false, QWidget* parent = nullptr);

    void setIcon(const QIcon& icon);  // a null icon shows the symbol's badge
    void setSymbol(const QString& symbol);  // empty: "app"
    void setTitle(const QString& title);
    void setSubtitle(const QString& subtitle);
    void setValue(const QString& value);
    void setFraction(double fraction);
    void setTint(const DynamicColor& tint);
    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return highlighted_; }

    bool showsIcon() const;

    // Makes the row one element for assistive technology: a button whose default action runs
    // `action` and whose further actions are the row's enabled QActions, by their texts.
    void setDefaultAction(std::function<void()> action);
    bool hasDefaultAction() const { return bool(defaultAction_); }
    void runDefaultAction() const;
    QString accessibleSummary() const;  // title, subtitle and value

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    IconImageView* icon_;
    IconBadge* badge_;
    TextLabel* title_;
    TextLabel* subtitle_;
    TextLabel* value_;
    ThinBar* bar_;
    bool highlighted_;
    std::function<void()> defaultAction_;
};
