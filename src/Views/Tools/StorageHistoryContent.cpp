#include "Views/Tools/StorageHistoryContent.h"

#include "Foundation/SaturatingSum.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Services/StorageHistoryService.h"
#include "Views/Common/DashboardPage.h"
#include "Views/Common/ValueAndUnit.h"
#include "Views/DesignSystem/AreaTrend.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Tools/ToolTexts.h"
#include "Views/Tools/ToolsDetailHeader.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The placeholder's tinted, rounded ground.
class TintedGround : public QWidget {
public:
    explicit TintedGround(const DynamicColor& tint) : tint_(tint) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ContinuousShape::roundedRect(rect(), 12), tint_.resolved(0.06));
    }

private:
    DynamicColor tint_;
};

}  // namespace

StorageHistoryContent::StorageHistoryContent(StorageHistoryService& history, const DynamicColor& tint, QWidget* parent)
    : QWidget(parent), history_(history), tint_(tint) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    page_ = new DashboardPage;
    outer->addWidget(page_);
    connect(&history_, &StorageHistoryService::recordsChanged, this, &StorageHistoryContent::rebuild);
    connect(&history_, &StorageHistoryService::scanRecordsChanged, this, &StorageHistoryContent::rebuild);
    rebuild();
}

QString StorageHistoryContent::signedBytes(std::int64_t change) {
    if (change == 0) return ToolTexts::bytes(0);
    const std::uint64_t magnitude = change < 0 ? std::uint64_t(0) - std::uint64_t(change) : std::uint64_t(change);
    return (change > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) + ByteFormatting::string(magnitude);
}

std::vector<MetricPoint> StorageHistoryContent::points() const {
    std::vector<MetricPoint> points;
    const std::vector<StorageRecord>& records = history_.records();
    const std::vector<std::int64_t> used = StorageHistoryService::usedBytes(records);
    for (std::size_t index = 0; index < records.size(); ++index) points.push_back({Uuid::random(), records[index].date, double(used[index])});
    return points;
}

void StorageHistoryContent::rebuild() {
    QVBoxLayout* stack = page_->beginContent();
    stack->setContentsMargins(0, 0, 0, 0);
    auto* header = new ToolsDetailHeader(ValueTool::history);
    auto* record = new StyledButton(AppLocalization::string("history.record"), QStringLiteral("plus.circle"), TintedButtonStyle{tint_});
    record->setObjectName("historyRecord");
    connect(record, &QAbstractButton::clicked, &history_, &StorageHistoryService::recordCurrentCapacity);
    header->trailingLayout()->addWidget(record);
    stack->addWidget(header);

    const std::vector<StorageRecord>& records = history_.records();
    if (!records.empty()) {
        const StorageRecord& last = records.back();
        const std::vector<std::int64_t> used = StorageHistoryService::usedBytes(records);
        auto* tiles = new QHBoxLayout;
        tiles->setSpacing(16);
        tiles->addWidget(new StatTile(AppLocalization::string("history.currentUsed"), QStringLiteral("internaldrive"), tint_, ToolTexts::bytes(used.back())), 1);
        tiles->addWidget(
            new StatTile(AppLocalization::string("history.available"), QStringLiteral("checkmark.circle"), DS::green, ToolTexts::bytes(last.available)), 1);
        auto* change = new StatTile(AppLocalization::string("history.change"), QStringLiteral("arrow.up.arrow.down"), DS::purple,
                                    signedBytes(saturatingDifference(used.back(), used.front())));
        change->setObjectName("historyChange");
        tiles->addWidget(change, 1);
        stack->addLayout(tiles);
    }
    stack->addWidget(makeTrendCard());
    stack->addWidget(makeChangesCard());
    auto* footnote = new TextLabel(AppLocalization::string("history.detail"), Fonts::system(12), DynamicColor::secondary());
    footnote->setWordWrap(true);
    footnote->setContentsMargins(4, 0, 4, 0);
    stack->addWidget(footnote);
    stack->addStretch(1);
    page_->endContent();
}

QWidget* StorageHistoryContent::makeTrendCard() {
    const std::vector<StorageRecord>& records = history_.records();
    auto* card = new CardModifier(24, 18);
    card->setObjectName("historyTrend");
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(18);
    auto* top = new QHBoxLayout;
    top->addWidget(new CardHeader(AppLocalization::string("tools.history.trend"), QStringLiteral("chart.xyaxis.line"), tint_), 1);
    if (!records.empty()) {
        auto* count = new Pill(AppLocalization::format("tools.history.records", {qlonglong(records.size())}), {}, DS::gray);
        count->setObjectName("historyCount");
        top->addWidget(count);
    }
    stack->addLayout(top);
    if (records.empty()) {
        stack->addWidget(makeTrendPlaceholder());
        return card;
    }
    const ValueAndUnit used = ValueAndUnit::split(ToolTexts::bytes(StorageHistoryService::usedBytes(records).back()));
    stack->addWidget(new HeroValue(AppLocalization::string("history.currentUsed"), used.value, used.unit, 46));
    const std::vector<MetricPoint> trend = points();
    if (trend.size() >= 2) {
        auto* chart = new AreaTrend(trend, tint_, std::nullopt, true);
        chart->setFixedHeight(240);
        stack->addWidget(chart);
    } else {
        stack->addWidget(makeTrendPlaceholder());
    }
    return card;
}

QWidget* StorageHistoryContent::makeTrendPlaceholder() {
    auto* ground = new TintedGround(tint_);
    ground->setObjectName("trendPlaceholder");
    ground->setMinimumHeight(180);
    auto* stack = new QVBoxLayout(ground);
    stack->setSpacing(10);
    stack->addStretch(1);
    stack->addWidget(new SymbolView({.symbol = QStringLiteral("chart.xyaxis.line"), .size = 28, .color = tint_, .opacity = 0.7}), 0, Qt::AlignHCenter);
    auto* text = new TextLabel(AppLocalization::string("tools.history.empty"), Fonts::system(13), DynamicColor::secondary());
    text->setAlignment(Qt::AlignHCenter);
    stack->addWidget(text, 0, Qt::AlignHCenter);
    stack->addStretch(1);
    return ground;
}

QWidget* StorageHistoryContent::makeChangesCard() {
    const std::optional<std::int64_t> change = history_.latestScanChange();
    if (history_.latestScanDiffersInHiddenFiles()) {
        // Sizes with and without hidden files would read as folders grown or freed that never were.
        auto* differs = new Banner(QStringLiteral("eye.slash.fill"), AppLocalization::string("history.whatChanged"),
                                   AppLocalization::string("history.hiddenSettingDiffers"), tint_);
        differs->setObjectName("historyHiddenSettingDiffers");
        return differs;
    }
    if (history_.latestScanDiffersInHardLinks()) {
        // Earlier scans counted a backup's every snapshot in full: against them every folder would
        // read as freed.
        auto* differs = new Banner(QStringLiteral("clock.arrow.circlepath"), AppLocalization::string("history.whatChanged"),
                                   AppLocalization::string("history.hardLinkCountDiffers"), tint_);
        differs->setObjectName("historyHardLinkCountDiffers");
        return differs;
    }
    if (!change) {
        auto* prompt = new Banner(QStringLiteral("clock.arrow.circlepath"), AppLocalization::string("history.whatChanged"),
                                  AppLocalization::string("history.comparePrompt"), tint_);
        prompt->setObjectName("historyPrompt");
        return prompt;
    }
    std::vector<FolderStorageChange> folders = history_.latestFolderChanges();
    if (folders.size() > 6) folders.resize(6);
    double largest = 0;
    for (const FolderStorageChange& folder : folders) largest = std::max(largest, std::abs(double(folder.currentSize) - double(folder.previousSize)));

    auto* card = new CardModifier(24, 18);
    card->setObjectName("historyChanges");
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(14);
    auto* top = new QHBoxLayout;
    top->addWidget(new CardHeader(AppLocalization::string("history.whatChanged"), QStringLiteral("clock.arrow.circlepath"), tint_), 1);
    auto* total = new TextLabel(signedBytes(*change), Fonts::monospaced(22, QFont::Bold),
                                *change > 0 ? tint_ : *change < 0 ? DS::green : DynamicColor::primary());
    total->setObjectName("historyScanChange");
    top->addWidget(total);
    stack->addLayout(top);
    stack->addWidget(new TextLabel(AppLocalization::string(*change != 0 ? QStringLiteral("history.sinceLastScan") : QStringLiteral("history.noChange")),
                                   Fonts::system(13), DynamicColor::secondary()));
    if (folders.empty()) {
        stack->addWidget(new TextLabel(AppLocalization::string("history.noFolderChanges"), Fonts::system(13), DynamicColor::secondary()));
        return card;
    }
    auto* rows = new QVBoxLayout;
    rows->setSpacing(2);
    for (const FolderStorageChange& folder : folders) {
        const std::int64_t d = saturatingDifference(folder.currentSize, folder.previousSize);
        const double magnitude = std::abs(double(folder.currentSize) - double(folder.previousSize));
        rows->addWidget(new RankedRow(QIcon(), d > 0 ? QStringLiteral("folder.badge.plus") : QStringLiteral("folder.badge.minus"), DisplayText::name(folder.name), DisplayText::path(folder.path),
                                      signedBytes(d), largest >= 1 ? magnitude / largest : 0.0, d > 0 ? tint_ : DS::green));
    }
    stack->addLayout(rows);
    return card;
}
