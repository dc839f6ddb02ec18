#pragma once

#include "Models/SystemMetrics.h"
#include "Views/DesignSystem/CardModifier.h"

#include <QPointer>

#include <functional>

class BarSparkline;
class SystemMonitor;
class TextLabel;

// The overview's live card: processor, memory and network load, each a figure and a bar sparkline
// of its recent history, redrawn whenever the monitor publishes a sample.
class SystemNowCard : public CardModifier {
    Q_OBJECT
public:
    SystemNowCard(SystemMonitor* monitor, std::function<void()> open, QWidget* parent = nullptr);

    // Download plus upload, capped instead of wrapping, as "<bytes>/s".
    static QString networkText(const SystemMetrics& metrics);

    QString cpuText() const;

private:
    void refresh();

    QPointer<SystemMonitor> monitor_;
    TextLabel* cpuValue_;
    TextLabel* memoryValue_;
    TextLabel* networkValue_;
    BarSparkline* cpuBars_;
    BarSparkline* memoryBars_;
    BarSparkline* networkBars_;
};
