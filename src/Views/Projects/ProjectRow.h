#pragma once

#include "Foundation/Instant.h"
#include "Models/DevProject.h"

#include <QWidget>

#include <functional>

class QContextMenuEvent;
class SymbolButton;

// One developer project as a row: folder badge, name and runtime (or process count), ports, status
// and memory; the regular row adds a stop button and highlights under the pointer. Its context
// menu reveals or copies the folder and offers stop. Stopping only calls `stop`: the page asks for
// confirmation.
class ProjectRow : public QWidget {
    Q_OBJECT
public:
    ProjectRow(const DevProject& project, bool compact, Instant now, std::function<void()> stop, QWidget* parent = nullptr);

    const DevProject& project() const { return project_; }
    bool isHovering() const { return hovering_; }
    SymbolButton* stopButton() const { return stopButton_; }  // null in a compact row
    QWidget* workingDot() const { return workingDot_; }  // null unless a compact row of a working project

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setHovering(bool hovering);

    DevProject project_;
    bool compact_;
    std::function<void()> stop_;
    bool hovering_ = false;
    SymbolButton* stopButton_ = nullptr;
    QWidget* workingDot_ = nullptr;
};
