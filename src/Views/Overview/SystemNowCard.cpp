#include "Views/Overview/SystemNowCard.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Services/SystemMonitor.h"
#include "Views/DesignSystem/BarSparkline.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <limits>

namespace {

std::vector<double> values(const std::vector<MetricPoint>& points) {
    std::vector<double> result;
    result.reserve(points.size());
    for (const MetricPoint& point : points) result.push_back(point.value);
    return result;
}

}  // namespace

QString SystemNowCard::networkText(const SystemMetrics& metrics) {
    const std::uint64_t down = metrics.networkDownPerSecond, up = metrics.networkUpPerSecond;
    const std::uint64_t sum = down > std::numeric_limits<std::uint64_t>::max() - up ? std::numeric_limits<std::uint64_t>::max() : down + up;
    return ByteFormatting::string(sum) + QStringLiteral("/s");
}

SystemNowCard::SystemNowCard(SystemMonitor* monitor, std::function<void()> open, QWidget* parent)
    : CardModifier(24, 18, parent), monitor_(monitor) {
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(18);
    stack->addWidget(new CardHeader(AppLocalization::string("overview.systemNow"), "waveform.path.ecg", DS::purple, std::move(open)));

    auto pulse = [stack](const QString& title, const DynamicColor& tint, std::optional<double> max, TextLabel*& value, BarSparkline*& bars) {
        auto* block = new QVBoxLayout;
        block->setSpacing(8);
        auto* line = new QHBoxLayout;
        line->addWidget(new TextLabel(title, Fonts::system(13), DynamicColor::secondary()));
        line->addStretch(1);
        value = new TextLabel({}, Fonts::system(15, QFont::DemiBold));
        line->addWidget(value);
        block->addLayout(line);
        bars = new BarSparkline({}, tint, max, 32, 34);
        block->addWidget(bars);
        stack->addLayout(block);
    };
    pulse(AppLocalization::string("monitor.cpu"), DS::blue, 1.0, cpuValue_, cpuBars_);
    pulse(AppLocalization::string("monitor.memory"), DS::purple, 1.0, memoryValue_, memoryBars_);
    pulse(AppLocalization::string("monitor.networkActivity"), DS::teal, std::nullopt, networkValue_, networkBars_);
    stack->addStretch(1);

    if (monitor_) connect(monitor_, &SystemMonitor::metricsChanged, this, &SystemNowCard::refresh);
    refresh();
}

QString SystemNowCard::cpuText() const { return cpuValue_->text(); }

void SystemNowCard::refresh() {
    const SystemMetrics metrics = monitor_ ? monitor_->metrics() : SystemMetrics{};
    cpuValue_->setText(Fmt::percent(metrics.cpuUsage));
    memoryValue_->setText(ByteFormatting::string(metrics.memoryUsed));
    networkValue_->setText(networkText(metrics));
    if (!monitor_) return;
    cpuBars_->setValues(values(monitor_->cpuHistory()));
    memoryBars_->setValues(values(monitor_->memoryHistory()));
    networkBars_->setValues(values(monitor_->networkHistory()));
}
