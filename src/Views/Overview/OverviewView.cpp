#include "Views/Overview/OverviewView.h"

#include "Views/Common/EntryKind.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/TimeFormatting.h"
#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"
#include "Services/AppState.h"
#include "Services/StorageHistoryService.h"
#include "Views/Shell/AppSectionPresentation.h"
#include "Views/Overview/CapacityBar.h"
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/KeyValueRow.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/StatColumns.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/FileIcon.h"
#include "Views/Common/GuardedMenu.h"
#include "Views/Overview/QuickTile.h"
#include "Views/Overview/SystemNowCard.h"
#include "Views/Common/ValueAndUnit.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QVBoxLayout>

#include <span>

namespace {

QString bytes(std::int64_t count) { return ByteFormatting::string(count); }

}  // namespace

OverviewView::OverviewView(AppState& state, CapacitySource capacity, QWidget* parent)
    : QWidget(parent), state_(state), capacity_(std::move(capacity)) {
    if (!capacity_) capacity_ = [] { return DiskCapacityService().capacity(SystemRoots::current().root); };
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    page_ = new DashboardPage;
    outer->addWidget(page_);
    for (auto changed : {&AppState::scanSnapshotChanged, &AppState::isScanningChanged, &AppState::scanRootChanged})
        connect(&state_, changed, this, &OverviewView::rebuild);
    rebuild();
}

void OverviewView::rebuild() {
    QVBoxLayout* page = page_->beginContent();

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(makeStorageCard(), 1);
    auto* now = new SystemNowCard(state_.monitor(), [this] { state_.setSelectedSection(AppSection::monitor); });
    now->setFixedWidth(360);
    top->addWidget(now);
    page->addLayout(top);

    const std::optional<RecentScan> recent = recentScan();
    if (recent) {
        auto* second = new QHBoxLayout;
        second->setSpacing(16);
        second->addWidget(state_.scanSnapshot() ? makeLargestFolders() : makeScanPrompt(), 1);
        second->addWidget(makeRecentScan(*recent));
        page->addLayout(second);
    } else {
        page->addWidget(makeScanPrompt());
    }

    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(16);
    const std::pair<AppSection, const char*> shortcuts[] = {
        {AppSection::search, textKey("overview.action.search")},
        {AppSection::uninstaller, textKey("overview.action.uninstaller")},
        {AppSection::tools, textKey("overview.action.tools")},
        {AppSection::monitor, textKey("overview.action.monitor")},
    };
    for (const auto& [section, detail] : shortcuts) {
        auto* tile = new QuickTile(section, AppLocalization::string(detail));
        connect(tile, &QAbstractButton::clicked, this, [this, target = section] { state_.setSelectedSection(target); });
        tiles->addWidget(tile, 1);
    }
    page->addLayout(tiles);

    auto* privacy = new QHBoxLayout;
    privacy->setContentsMargins(0, 4, 0, 0);
    privacy->addStretch(1);
    privacy->addWidget(new Pill(AppLocalization::string("privacy.local"), "lock.fill", DS::green));
    privacy->addStretch(1);
    page->addLayout(privacy);
    page->addStretch(1);
    page_->endContent();
}

QWidget* OverviewView::makeStorageCard() {
    const DiskCapacityService::Capacity capacity = capacity_();
    const std::int64_t used = std::max<std::int64_t>(capacity.total - capacity.available, 0);
    const double usedRatio = capacity.total <= 0 ? 0 : std::min(double(used) / double(capacity.total), 1.0);
    const std::shared_ptr<const ScanSnapshot>& snapshot = state_.scanSnapshot();

    auto* card = new CardModifier(28, 18);
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(22);
    stack->addWidget(new CardHeader(AppLocalization::string("overview.storage"), "internaldrive", DS::amber,
                                    [this] { state_.setSelectedSection(AppSection::storage); }));

    auto* hero = new QHBoxLayout;
    hero->setSpacing(20);
    const ValueAndUnit available = ValueAndUnit::split(bytes(capacity.available));
    hero->addWidget(new HeroValue(AppLocalization::format("monitor.freeOf", {bytes(capacity.total)}), available.value, available.unit, 56),
                    0, Qt::AlignBottom);
    hero->addStretch(1);
    hero->addSpacing(12);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->setContentsMargins(0, 0, 0, 8);
    auto* choose = new StyledButton(AppLocalization::string("scan.choose"), {}, SoftButtonStyle{DynamicColor::primary()});
    connect(choose, &QAbstractButton::clicked, &state_, &AppState::chooseScanFolder);
    buttons->addWidget(choose);
    auto* scan = new StyledButton(AppLocalization::string(state_.isScanning() ? textKey("scan.scanning") : textKey("scan.start")), "play.fill",
                                  TintedButtonStyle{DS::amber});
    scan->setObjectName("overviewScan");
    scan->setEnabled(!state_.isScanning());
    connect(scan, &QAbstractButton::clicked, this, [this] {
        state_.setSelectedSection(AppSection::storage);
        if (!state_.isScanning()) state_.startScan();
    });
    buttons->addWidget(scan);
    hero->addLayout(buttons);
    hero->setAlignment(buttons, Qt::AlignBottom);
    stack->addLayout(hero);

    auto* bar = new CapacityBar;
    bar->setFigures(snapshot, capacity.total, capacity.available);
    stack->addWidget(bar);

    const std::optional<RecentScan> recent = recentScan();
    const QString lastScan = recent ? TimeFormatting::relative(recent->date, Instant::now(), QLocale::system())
                                    : AppLocalization::string("overview.never");
    stack->addWidget(new StatColumns({
        {AppLocalization::string("overview.used"), bytes(used), DS::amber},
        {AppLocalization::string("overview.available"), bytes(capacity.available), DS::track},
        {AppLocalization::string("overview.usedShare"), Fmt::percent(usedRatio), std::nullopt},
        {AppLocalization::string("overview.lastScan"), lastScan, std::nullopt},
    }));
    stack->addStretch(1);
    return card;
}

QWidget* OverviewView::makeLargestFolders() {
    const ScanSnapshot& snapshot = *state_.scanSnapshot();
    const std::span<const StorageBucket> top(snapshot.buckets.data(), std::min<std::size_t>(snapshot.buckets.size(), 5));
    const double reference = double(std::max<std::int64_t>(top.empty() ? 1 : top.front().size, 1));

    auto* card = new CardModifier(14, 18);
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(8);
    auto* header = new CardHeader(AppLocalization::string("overview.largestFolders"), "folder", DS::amber,
                                  [this] { state_.setSelectedSection(AppSection::storage); });
    header->setContentsMargins(10, 10, 10, 6);
    stack->addWidget(header);
    for (std::size_t i = 0; i < top.size(); ++i) {
        const StorageBucket& bucket = top[i];
        auto* row = new RankedRow(fileIcon(bucket.path), {}, PathText::display(bucket.name()),
                                  EntryKind::isFolder(bucket.path) ? AppLocalization::format("overview.filesCount", {qlonglong(bucket.fileCount)})
                                                                  : EntryKind::text(bucket.path),
                                  bytes(bucket.size),
                                  double(std::max<std::int64_t>(bucket.size, 0)) / reference, DS::amber, i == 0);
        row->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(row, &QWidget::customContextMenuRequested, this, [row, path = std::filesystem::path(bucket.path)](const QPoint& at) {
            const GuardedMenu menu(row);
            QAction* reveal = menu->addAction(AppLocalization::string("action.reveal"));
            if (menu->exec(row->mapToGlobal(at)) == reveal) FileActions::reveal(path);
        });
        stack->addWidget(row);
    }
    stack->addStretch(1);
    return card;
}

std::optional<OverviewView::RecentScan> OverviewView::recentScan() const {
    if (const std::shared_ptr<const ScanSnapshot>& snapshot = state_.scanSnapshot()) {
        const std::filesystem::path name = snapshot->rootPath.filename();
        return RecentScan{PathText::display(name.empty() ? snapshot->rootPath : name), snapshot->scannedAt, snapshot->totalSize,
                          snapshot->fileCount, snapshot->folderCount, snapshot->duration};
    }
    const StorageHistoryService* history = state_.storageHistory();
    if (!history || history->scanRecords().empty()) return std::nullopt;
    const ScanHistoryRecord& newest = history->scanRecords().back();
    const QString name = newest.rootPath.section(QLatin1Char('/'), -1, -1, QString::SectionSkipEmpty);
    return RecentScan{name.isEmpty() ? newest.rootPath : name, newest.date, newest.totalSize, newest.fileCount, newest.folderCount, std::nullopt};
}

QWidget* OverviewView::makeRecentScan(const RecentScan& scan) {
    auto* card = new CardModifier(24, 18);
    card->setFixedWidth(360);
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(20);
    stack->addWidget(new CardHeader(AppLocalization::string("overview.recentScan"), "clock.arrow.circlepath", DS::teal));
    const ValueAndUnit total = ValueAndUnit::split(bytes(scan.totalSize));
    stack->addWidget(new HeroValue(scan.name, total.value, total.unit, 40));
    auto* facts = new QVBoxLayout;
    facts->setSpacing(10);
    const QLocale system = QLocale::system();
    facts->addWidget(new KeyValueRow(AppLocalization::string("scan.files"), system.toString(qlonglong(scan.fileCount))));
    facts->addWidget(new KeyValueRow(AppLocalization::string("scan.folders"), system.toString(qlonglong(scan.folderCount))));
    facts->addWidget(new KeyValueRow(AppLocalization::string("scan.duration"),
                                     scan.duration ? TimeFormatting::minutesAndSeconds(*scan.duration, system) : QStringLiteral("\u2014")));
    stack->addLayout(facts);
    stack->addStretch(1);
    auto* viewMap = new StyledButton(AppLocalization::string("overview.viewMap"), {}, TintedButtonStyle{DS::teal});
    connect(viewMap, &QAbstractButton::clicked, this, [this] { state_.setSelectedSection(AppSection::storage); });
    stack->addWidget(viewMap, 0, Qt::AlignLeading);
    return card;
}

QWidget* OverviewView::makeScanPrompt() {
    auto* banner = new Banner("internaldrive", AppLocalization::string("overview.scanPrompt.title"),
                              AppLocalization::format("overview.scanPrompt.detail", {PathText::display(state_.scanRoot())}), DS::amber);
    auto* scan = new StyledButton(AppLocalization::string("scan.start"), {}, TintedButtonStyle{DS::amber});
    scan->setObjectName("promptScan");
    connect(scan, &QAbstractButton::clicked, this, [this] {
        state_.setSelectedSection(AppSection::storage);
        state_.startScan();  // restarts a running scan
    });
    banner->actionsLayout()->addWidget(scan);
    return banner;
}
