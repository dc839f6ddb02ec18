#include "Views/Monitor/MemoryByTypeCard.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DonutChart.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/LegendRow.h"
#include "Views/Monitor/MonitorText.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

struct Kind {
    const char* key;
    DynamicColor color;
};
// Free memory takes the ring's own track colour: the used kinds stand out against it.
const Kind kinds[] = {{"monitor.app", DS::blue}, {"monitor.wired", DS::orange}, {"monitor.compressed", DS::green},
                      {"monitor.cached", DS::gray}, {"monitor.free", DS::track}};

}  // namespace

MemoryByTypeCard::MemoryByTypeCard(std::function<void()> open, QWidget* parent) : CardModifier(24, 18, parent) {
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(20);
    stack->addWidget(new CardHeader(AppLocalization::string("monitor.memoryByType"), QStringLiteral("memorychip"), DS::blue, std::move(open)));
    auto* row = new QHBoxLayout;
    row->setSpacing(24);
    donut_ = new DonutChart({}, {}, AppLocalization::string("monitor.inUse"), 16);
    donut_->setFixedSize(136, 136);
    row->addWidget(donut_, 0, Qt::AlignVCenter);
    auto* legendStack = new QVBoxLayout;
    legendStack->setSpacing(11);
    for (const Kind& kind : kinds) {
        legend_.push_back(new LegendRow(kind.color, AppLocalization::string(QString::fromLatin1(kind.key)), {}));
        legendStack->addWidget(legend_.back());
    }
    row->addLayout(legendStack, 1);
    row->setAlignment(legendStack, Qt::AlignVCenter);
    stack->addLayout(row);
}

void MemoryByTypeCard::setMemory(const MemoryDetail& memory, std::uint64_t used, std::uint64_t total, bool known) {
    const std::uint64_t amounts[] = {memory.app, memory.wired, memory.compressed, memory.cached, memory.free};
    std::vector<DonutSegment> segments;
    for (size_t index = 0; index < std::size(kinds); ++index) {
        segments.push_back({known ? double(amounts[index]) : 0.0, kinds[index].color});
        legend_[index]->setValue(MonitorText::known(known, MonitorText::bytes(amounts[index])));
    }
    donut_->setSegments(segments);
    const double whole = total == 0 ? 1.0 : double(total);
    donut_->setTitle(MonitorText::known(known, Fmt::percent(double(used) / whole)));
}
