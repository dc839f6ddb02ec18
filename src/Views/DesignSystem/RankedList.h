#pragma once

#include "Views/DesignSystem/CardModifier.h"

class TextLabel;

// A list card (padding 14, radius 18): two column captions (14, secondary) lined up with the row
// texts, over the caller's rows.
class RankedList : public CardModifier {
    Q_OBJECT
public:
    RankedList(const QString& leading, const QString& trailing, QWidget* parent = nullptr);

    void setCaptions(const QString& leading, const QString& trailing);

    // Where the caller puts its rows (RankedRow or its own).
    QVBoxLayout* rowsLayout() const { return rows_; }

private:
    TextLabel* leading_;
    TextLabel* trailing_;
    QVBoxLayout* rows_;
};
