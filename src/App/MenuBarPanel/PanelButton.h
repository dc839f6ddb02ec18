#pragma once

#include <QAbstractButton>

// A footer button of the panel: symbol and optional text (13 medium) on DS.card in a continuous
// rounded rectangle of radius 12, outlined in DS.hairline, 38 high, padded 14.
class PanelButton : public QAbstractButton {
    Q_OBJECT
public:
    PanelButton(const QString& text, const QString& symbol, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
};
