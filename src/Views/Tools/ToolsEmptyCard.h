#pragma once

#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"

// The placeholder of an empty tool list: the tool's badge, a title and a detail line; while the
// tool works, a spinner and "Scanning…" in place of the badge and title, the detail kept.
class ToolsEmptyCard : public CardModifier {
    Q_OBJECT
public:
    // `title` and `detail` are text keys.
    ToolsEmptyCard(const QString& symbol, const DynamicColor& tint, bool working, const QString& title, const QString& detail,
                   QWidget* parent = nullptr);

    QString titleText() const;
    QString detailText() const;
    bool isWorking() const { return working_; }
    void setWorking(bool working);
    // Text keys, for a tool that has not looked yet or waits for another to end.
    void setTexts(const QString& title, const QString& detail);

private:
    bool working_;
    QString titleKey_;
    QWidget* badge_;
    QWidget* spinnerFrame_;
    class TextLabel* title_;
    class TextLabel* detail_;
};
