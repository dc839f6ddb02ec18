#pragma once

#include <QWidget>

// One page of the panel, built once when its tab is chosen and brought up to date on every publish
// of the monitor while the panel is open.
class PanelPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void refresh() = 0;
};
