#pragma once

#include "Models/MetricPoint.h"
#include "Views/DesignSystem/AreaTrend.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/Monitor/DomainCard.h"

#include <optional>
#include <utility>
#include <vector>

class HeroValue;
class KeyValueRow;
class Pill;
class QVBoxLayout;

// The large card at the top of a monitor page, 250 high: on the leading side a large value, an
// optional pill and labelled rows in a 280-wide column; beside it an area chart of the history.
// Where the column needs more (Arabic figures' taller lines), the card grows rather than cut it.
class TrendHero : public CardModifier {
    Q_OBJECT
public:
    struct Figures {
        QString caption;
        QString value;
        QString unit;
        std::optional<DomainCard::Badge> badge;
        std::vector<std::pair<QString, QString>> rows;  // label, value
    };

    TrendHero(const DynamicColor& tint, std::optional<AreaTrend::Range> domain, QWidget* parent = nullptr);

    void setFigures(const Figures& figures);
    void setPoints(const std::vector<MetricPoint>& points);

    HeroValue* hero() const { return hero_; }
    Pill* badge() const { return badge_; }
    // The value shown in the row with this label; empty when there is none.
    QString rowValue(const QString& label) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int neededHeight() const;

    QWidget* column_;
    HeroValue* hero_;
    Pill* badge_;
    QVBoxLayout* rowsLayout_;
    std::vector<KeyValueRow*> rows_;
    std::vector<std::pair<QString, QString>> shownRows_;
    AreaTrend* chart_;
};
