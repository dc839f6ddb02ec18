#pragma once

#include <QTimer>
#include <QWidget>

// A small indeterminate spinner: a ring of fading ticks turning while shown.
class BusySpinner : public QWidget {
    Q_OBJECT
public:
    explicit BusySpinner(QWidget* parent = nullptr);
    QSize sizeHint() const override { return QSize(18, 18); }

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    QTimer timer_;
    int step_ = 0;
};
