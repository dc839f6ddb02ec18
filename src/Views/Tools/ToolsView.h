#pragma once

#include "Models/ValueTool.h"

#include <QMessageBox>
#include <QWidget>

class AppState;

class ToolsRail;

// The tools section: the rail of six tools on the left, the chosen tool's screen on the right, and
// the one alert that shows the tools' result and error messages, whichever tool published them.
// Opens on the duplicate finder; each tool's screen is made anew when it is chosen.
class ToolsView : public QWidget {
    Q_OBJECT
public:
    explicit ToolsView(AppState& state, QWidget* parent = nullptr);

    ValueTool selectedTool() const { return selectedTool_; }
    void selectTool(ValueTool tool);
    QWidget* detail() const { return detail_; }
    ToolsRail* rail() const { return rail_; }
    QMessageBox* alert() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeDetail(ValueTool tool);
    AppState& state_;
    ValueTool selectedTool_ = ValueTool::duplicates;
    ToolsRail* rail_;
    QWidget* detail_ = nullptr;
    class MessageAlert* message_;
};
