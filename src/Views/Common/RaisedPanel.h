#pragma once

#include <QWidget>

class QVBoxLayout;

// A box on DS.raised in a continuous rounded rectangle of radius 12, padded 12 or as given: the
// inset panels of the storage screen (facts, the path being read).
class RaisedPanel : public QWidget {
    Q_OBJECT
public:
    explicit RaisedPanel(int padding, int spacing, QWidget* parent = nullptr);
    QVBoxLayout* contentLayout() const { return layout_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QVBoxLayout* layout_;
};
