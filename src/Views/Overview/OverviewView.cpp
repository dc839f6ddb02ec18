#include "Views/Overview/OverviewView.h"

#include "Models/DisplayText.h"
#include "Views/Common/EntryKind.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/TimeFormatting.h"
#include "Platform/SystemRoots.h"
#include "Services/AppState.h"
#include "Views/Shell/AppSectionPresentation.h"
#include "Views/Overview/CapacityBar.h"
#include "Views/Common/CoalescedUpdate.h"
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

namespace {


}  // namespace

OverviewView::OverviewView(AppState& state, CapacitySource capacity, QWidget* parent)
    : QWidget(parent), state_(state), capacity_(std::move(capacity)), pageUpdate_(new CoalescedUpdate([this] { updatePage(); }, this)) {
    if (!capacity_) capacity_ = [] { return DiskCapacityService().capacity(SystemRoots::current().root); };
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new DashboardPage;
    outer->addWidget(scroll);
    QVBoxLayout* page = scroll->beginContent();

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(makeStorageCard(), 1);
    auto* now = new SystemNowCard(state_.monitor(), [this] { state_.setSelectedSection(AppSection::monitor); });
    now->setFixedWidth(360);
    top->addWidget(now);
    page->addLayout(top);

    // The last scan's largest folders, or the prompt to scan; beside them the newest scan's figures.
    auto* second = new QHBoxLayout;
    second->setSpacing(16);
    second->addWidget(largestFolders_ = makeLargestFolders(), 1);
    second->addWidget(scanPrompt_ = makeScanPrompt(), 1);
    second->addWidget(recentCard_ = makeRecentScan());
    page->addLayout(second);

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
    // Filled before the page measures itself: parts not yet shown do not tell it when they grow.
    updatePage();
    scroll->endContent();

    for (auto changed : {&AppState::scanSnapshotChanged, &AppState::isScanningChanged, &AppState::scanRootChanged})
        connect(&state_, changed, pageUpdate_, &CoalescedUpdate::request);
}

void OverviewView::updatePage() {
    refreshStorageCard();
    refreshScanCards();
}

QWidget* OverviewView::makeStorageCard() {
    auto* card = new CardModifier(28, 18);
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(22);
    stack->addWidget(new CardHeader(AppLocalization::string("overview.storage"), "internaldrive", DS::amber,
                                    [this] { state_.setSelectedSection(AppSection::storage); }));

    auto* hero = new QHBoxLayout;
    hero->setSpacing(20);
    freeHero_ = new HeroValue({}, {}, {}, 56);
    hero->addWidget(freeHero_, 0, Qt::AlignBottom);
    hero->addStretch(1);
    hero->addSpacing(12);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->setContentsMargins(0, 0, 0, 8);
    auto* choose = new StyledButton(AppLocalization::string("scan.choose"), {}, SoftButtonStyle{DynamicColor::primary()});
    connect(choose, &QAbstractButton::clicked, &state_, &AppState::chooseScanFolder);
    buttons->addWidget(choose);
    scanButton_ = new StyledButton({}, "play.fill", TintedButtonStyle{DS::amber});
    scanButton_->setObjectName("overviewScan");
    connect(scanButton_, &QAbstractButton::clicked, this, [this] {
        state_.setSelectedSection(AppSection::storage);
        if (!state_.isScanning()) state_.startScan();
    });
    buttons->addWidget(scanButton_);
    hero->addLayout(buttons);
    hero->setAlignment(buttons, Qt::AlignBottom);
    stack->addLayout(hero);

    capacityBar_ = new CapacityBar;
    stack->addWidget(capacityBar_);
    storageStats_ = new StatColumns;
    stack->addWidget(storageStats_);
    stack->addStretch(1);
    return card;
}

void OverviewView::refreshStorageCard() {
    const DiskCapacityService::Capacity capacity = capacity_();
    const std::int64_t used = capacity.used();
    const std::int64_t reserved = capacity.reserved();
    const double usedRatio = capacity.total <= 0 ? 0 : std::min(double(used) / double(capacity.total), 1.0);
    const auto& snapshot = state_.scanSnapshot();

    const ValueAndUnit available = ValueAndUnit::split(ByteFormatting::string(capacity.available));
    freeHero_->setCaption(AppLocalization::format("monitor.freeOf", {ByteFormatting::string(capacity.total)}));
    freeHero_->setValue(available.value);
    freeHero_->setUnit(available.unit);
    scanButton_->setText(AppLocalization::string(state_.isScanning() ? textKey("scan.scanning") : textKey("scan.start")));
    scanButton_->setEnabled(!state_.isScanning());
    capacityBar_->setFigures(snapshot, capacity.total, capacity.available, reserved);

    // Only a result of this launch has a date here: beside the prompt to scan, a stored record's
    // date would contradict it.
    const QString lastScan = snapshot ? TimeFormatting::relative(snapshot->scannedAt, Instant::now(), AppLocalization::activeLocale())
                                      : AppLocalization::string("overview.never");
    std::vector<StatItem> items{
        {AppLocalization::string("overview.used"), ByteFormatting::string(used), DS::amber},
        {AppLocalization::string("overview.available"), ByteFormatting::string(capacity.available), DS::track},
        {AppLocalization::string("overview.usedShare"), Fmt::percent(usedRatio), std::nullopt},
        {AppLocalization::string("overview.lastScan"), lastScan, std::nullopt},
    };
    if (reserved > 0) items.insert(items.begin() + 2, {AppLocalization::string("storage.reserved"), ByteFormatting::string(reserved), std::nullopt});
    storageStats_->setItems(items);
}

QWidget* OverviewView::makeLargestFolders() {
    auto* card = new CardModifier(14, 18);
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(8);
    auto* header = new CardHeader(AppLocalization::string("overview.largestFolders"), "folder", DS::amber,
                                  [this] { state_.setSelectedSection(AppSection::storage); });
    header->setContentsMargins(10, 10, 10, 6);
    stack->addWidget(header);
    for (std::size_t i = 0; i < 5; ++i) {
        auto* row = new RankedRow({}, {}, {}, {}, {}, 0, DS::amber, i == 0);
        row->setContextMenuPolicy(Qt::CustomContextMenu);
        // The row reveals whichever folder it shows when the menu is used.
        connect(row, &QWidget::customContextMenuRequested, this, [this, row, i](const QPoint& at) {
            if (i >= folderPaths_.size()) return;
            const std::filesystem::path path = folderPaths_[i];  // kept if a new scan relabels the row meanwhile
            const GuardedMenu menu(row);
            QAction* reveal = menu->addAction(AppLocalization::string("action.reveal"));
            if (menu->exec(row->mapToGlobal(at)) == reveal) FileActions::reveal(path);
        });
        stack->addWidget(row);
        folderRows_.push_back(row);
    }
    stack->addStretch(1);
    return card;
}

QWidget* OverviewView::makeRecentScan() {
    auto* card = new CardModifier(24, 18);
    card->setFixedWidth(360);
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(20);
    stack->addWidget(new CardHeader(AppLocalization::string("overview.recentScan"), "clock.arrow.circlepath", DS::teal));
    recentHero_ = new HeroValue({}, {}, {}, 40);
    stack->addWidget(recentHero_);
    auto* facts = new QVBoxLayout;
    facts->setSpacing(10);
    recentFiles_ = new KeyValueRow(AppLocalization::string("scan.files"), {});
    facts->addWidget(recentFiles_);
    recentFolders_ = new KeyValueRow(AppLocalization::string("scan.folders"), {});
    facts->addWidget(recentFolders_);
    recentDuration_ = new KeyValueRow(AppLocalization::string("scan.duration"), {});
    facts->addWidget(recentDuration_);
    stack->addLayout(facts);
    stack->addStretch(1);
    auto* viewMap = new StyledButton(AppLocalization::string("overview.viewMap"), {}, TintedButtonStyle{DS::teal});
    connect(viewMap, &QAbstractButton::clicked, this, [this] { state_.setSelectedSection(AppSection::storage); });
    stack->addWidget(viewMap, 0, Qt::AlignLeading);
    return card;
}

void OverviewView::refreshScanCards() {
    const auto& snapshot = state_.scanSnapshot();
    largestFolders_->setVisible(bool(snapshot));
    scanPrompt_->setVisible(!snapshot);
    scanPrompt_->setDetail(AppLocalization::format("overview.scanPrompt.detail", {DisplayText::path(state_.scanRoot())}));

    // Without a result of this launch the row holds the prompt alone: a stored record has no
    // folders to map, so a card leading to the map would lead to an empty page.
    recentCard_->setVisible(bool(snapshot));
    if (!snapshot) return;

    const std::filesystem::path name = snapshot->rootPath.filename();
    const ValueAndUnit total = ValueAndUnit::split(ByteFormatting::string(snapshot->totalSize));
    recentHero_->setCaption(DisplayText::name(name.empty() ? snapshot->rootPath : name));
    recentHero_->setValue(total.value);
    recentHero_->setUnit(total.unit);
    const QLocale locale = AppLocalization::activeLocale();
    recentFiles_->setValue(locale.toString(qlonglong(snapshot->fileCount)));
    recentFolders_->setValue(locale.toString(qlonglong(snapshot->folderCount)));
    recentDuration_->setValue(TimeFormatting::minutesAndSeconds(snapshot->duration, locale));

    const std::size_t shown = std::min(snapshot->buckets.size(), folderRows_.size());  // the scan's order is largest first
    const double reference = double(std::max<std::int64_t>(shown == 0 ? 1 : snapshot->buckets.front().size, 1));
    folderPaths_.clear();
    for (std::size_t i = 0; i < folderRows_.size(); ++i) {
        RankedRow* row = folderRows_[i];
        row->setVisible(i < shown);
        if (i >= shown) continue;
        const StorageBucket& bucket = snapshot->buckets[i];
        folderPaths_.push_back(bucket.path);
        row->setIcon(fileIcon(bucket.path));
        row->setTitle(DisplayText::name(bucket.name()));
        row->setSubtitle(EntryKind::isFolder(bucket.path) ? AppLocalization::format("overview.filesCount", {qlonglong(bucket.fileCount)})
                                                          : EntryKind::text(bucket.path));
        row->setValue(ByteFormatting::string(bucket.size));
        row->setFraction(double(std::max<std::int64_t>(bucket.size, 0)) / reference);
    }
}

Banner* OverviewView::makeScanPrompt() {
    auto* banner = new Banner("internaldrive", AppLocalization::string("overview.scanPrompt.title"), {}, DS::amber);
    auto* scan = new StyledButton(AppLocalization::string("scan.start"), {}, TintedButtonStyle{DS::amber});
    scan->setObjectName("promptScan");
    connect(scan, &QAbstractButton::clicked, this, [this] {
        state_.setSelectedSection(AppSection::storage);
        state_.startScan();  // restarts a running scan
    });
    banner->actionsLayout()->addWidget(scan);
    return banner;
}
