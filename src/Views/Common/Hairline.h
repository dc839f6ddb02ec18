#pragma once

#include <QWidget>

// A 1-point line in DS.hairline across the width offered: between the rows of a card, above a bar.
class Hairline : public QWidget {
    Q_OBJECT
public:
    explicit Hairline(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
