#pragma once

#include <QScrollArea>

// The page of the overview and the storage screen: a vertical scroll over DS.canvas. Content set
// again replaces the old whole, keeping the reader's scroll position.
class DashboardPage : public QScrollArea {
    Q_OBJECT
public:
    explicit DashboardPage(QWidget* parent = nullptr);

    // A new content widget with its page layout (28 around, 16 between rows), to be filled and then
    // shown with endContent(); children added after a widget is shown would stay hidden.
    class QVBoxLayout* beginContent();
    void endContent();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QWidget* pending_ = nullptr;
};
