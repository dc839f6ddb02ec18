#pragma once

#include "Views/DesignSystem/ButtonStyle.h"
#include "Views/DesignSystem/SymbolTextRow.h"

#include <QAbstractButton>

// A capsule push button in one of the two button styles, with an optional symbol before its text.
// Disabled it is drawn at 45 % and ignores presses; only the capsule reacts to the pointer.
class StyledButton : public QAbstractButton {
    Q_OBJECT
public:
    StyledButton(const QString& text, const QString& symbol, const ButtonStyle& style, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setButtonStyle(const ButtonStyle& style);
    const ButtonStyle& buttonStyle() const { return style_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
    void changeEvent(QEvent* event) override;

private:
    SymbolTextRow label() const;

    QString symbol_;
    ButtonStyle style_;
};
