#pragma once

#include "Models/AppUsage.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <optional>

class AppIconSlot;
class IconBadge;
class IconImageView;
class TextLabel;

// The tile that names the application with the largest share of one measure, with that share;
// "Gathering…" and "—" until the first per-application sample.
class TopAppTile : public CardModifier {
    Q_OBJECT
public:
    explicit TopAppTile(const DynamicColor& tint, QWidget* parent = nullptr);

    void setApp(const std::optional<AppUsage>& app, const std::optional<QString>& value);

    TextLabel* nameLabel() const { return name_; }
    TextLabel* valueLabel() const { return value_; }
    bool showsPlaceholder() const;

    // At least 120 high, like the tiles beside it, and never lower than its content.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    void showIcon(const QIcon& icon);

    IconImageView* icon_;
    AppIconSlot* iconSlot_;
    IconBadge* placeholder_;
    TextLabel* name_;
    TextLabel* gathering_;
    TextLabel* value_;
};
