#pragma once

#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/DesignSystem/StatItem.h"

#include <functional>
#include <optional>
#include <vector>

class BarSparkline;
class CardHeader;
class HeroValue;
class Pill;
class StatColumns;

// A card of the monitor's overview grid: the header (with an open button when it has an action),
// a large value with its caption and unit, an optional pill beside it, three stats and a bar
// spark line of the recent history. The figures change in place every sample.
class DomainCard : public CardModifier {
    Q_OBJECT
public:
    struct Badge {
        QString text;
        QString symbol;
        DynamicColor tint;
    };
    struct Figures {
        QString caption;
        QString value;
        QString unit;
        std::optional<Badge> badge;
        std::vector<StatItem> stats;
        std::vector<double> spark;
    };

    DomainCard(const QString& title, const QString& symbol, const DynamicColor& tint, std::function<void()> open,
               std::optional<double> sparkMax, QWidget* parent = nullptr);

    // For a card that changes what it stands for (battery or desktop).
    void setHeader(const QString& title, const QString& symbol, std::function<void()> open);
    void setFigures(const Figures& figures);

    // The large value with its caption and unit, and the pill beside it when there is one; shared with
    // the pages' trend heroes.
    static void showHeadline(HeroValue& hero, Pill& pill, const QString& caption, const QString& value, const QString& unit,
                             const std::optional<Badge>& badge);

    HeroValue* hero() const { return hero_; }
    Pill* badge() const { return badge_; }
    CardHeader* header() const { return header_; }
    BarSparkline* sparkline() const { return spark_; }

private:
    CardHeader* header_;
    HeroValue* hero_;
    Pill* badge_;
    StatColumns* stats_;
    BarSparkline* spark_;
};
