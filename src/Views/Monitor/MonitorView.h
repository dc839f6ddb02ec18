#pragma once

#include <QWidget>

class AppState;
class MonitorContent;

// The monitor section: shows the monitor's content on the overview tab, and starts the monitor when
// shown (which does nothing once it runs). It never stops the monitor.
class MonitorView : public QWidget {
    Q_OBJECT
public:
    explicit MonitorView(AppState& state, QWidget* parent = nullptr);

    MonitorContent* content() const { return content_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppState& state_;
    MonitorContent* content_ = nullptr;
};
