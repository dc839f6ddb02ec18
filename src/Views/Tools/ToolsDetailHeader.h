#pragma once

#include "Models/ValueTool.h"

#include <QWidget>

class QHBoxLayout;

// The head of a tool's detail screen: a 40-point badge, the tool's title (20 bold, in its tint)
// over its one-line detail, and the screen's own controls at the trailing end.
class ToolsDetailHeader : public QWidget {
    Q_OBJECT
public:
    explicit ToolsDetailHeader(ValueTool tool, QWidget* parent = nullptr);

    QHBoxLayout* trailingLayout() const { return trailing_; }

private:
    QHBoxLayout* trailing_;
};
