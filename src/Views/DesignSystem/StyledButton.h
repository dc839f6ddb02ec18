#pragma once

#include "Views/DesignSystem/ButtonStyle.h"
#include "Views/DesignSystem/SymbolTextRow.h"

#include <QAbstractButton>

class BusySpinner;

// A capsule push button in one of the two button styles, with an optional symbol before its text.
// Disabled it is drawn at 45 % and ignores presses; only the capsule reacts to the pointer.
class StyledButton : public QAbstractButton {
    Q_OBJECT
public:
    StyledButton(const QString& text, const QString& symbol, const ButtonStyle& style, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setButtonStyle(const ButtonStyle& style);
    // While busy a spinner in the label's colour turns in place of the symbol.
    void setBusy(bool busy);
    bool isBusy() const { return spinner_ != nullptr; }
    const ButtonStyle& buttonStyle() const { return style_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    SymbolTextRow label() const;
    QRectF labelBox() const;  // where the label is drawn, centred in the padded capsule
    void placeSpinner();

    QString symbol_;
    ButtonStyle style_;
    BusySpinner* spinner_ = nullptr;
};
