#include "Views/Storage/StorageView.h"

#include "Models/DisplayText.h"
#include "Views/Common/TextSelection.h"
#include "Models/IsolatedText.h"
#include "Models/AppLocalization.h"
#include "Models/ScanSnapshot.h"
#include "Models/ByteFormatting.h"
#include "Foundation/PathText.h"
#include "Platform/SystemRoots.h"
#include "Services/AppState.h"
#include "Views/Storage/BucketActions.h"
#include "Views/Storage/BucketListing.h"
#include "Views/Storage/BucketSelection.h"
#include "Views/Common/BusySpinner.h"
#include "Views/Common/CoalescedUpdate.h"
#include "Views/Common/PendingClick.h"
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/BarSparkline.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DonutChart.h"
#include "Views/DesignSystem/Ease.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/LegendRow.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/RankedList.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/StatColumns.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/Common/FileActions.h"
#include "Views/Common/FileIcon.h"
#include "Views/Storage/FolderInspector.h"
#include "Views/Storage/NoFoldersState.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/Common/RaisedPanel.h"
#include "Views/Common/RevealBox.h"
#include "Views/Storage/StorageMapCard.h"
#include "Views/Storage/StorageRankPalette.h"
#include "Views/Common/ValueAndUnit.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t maximumFolderRows = 200;
constexpr std::size_t firstFolderRows = 10;
const QString emDash = QStringLiteral("\u2014");

QString wholeNumber(std::int64_t count) { return AppLocalization::activeLocale().toString(qlonglong(count)); }
QString shareText(double share) { return share < 0.01 ? Fmt::finePercent(share) : Fmt::percent(share); }

QString lastComponent(const std::filesystem::path& path) {
    const std::filesystem::path name = path.filename();
    return DisplayText::name(name.empty() ? path : name);
}

// A capsule on the track colour with a folder symbol and a path that stays left to right.
class LocationPill : public QWidget {
public:
    LocationPill(DynamicColor tint) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(12, 7, 12, 7);
        row->setSpacing(7);
        row->addWidget(new SymbolView(SymbolImage{.symbol = "folder.fill", .size = 12, .color = tint}));
        path_ = new TextLabel({}, Fonts::monospaced(12), DynamicColor::secondary());
        path_->setElideMode(Qt::ElideMiddle);
        path_->setLayoutDirection(Qt::LeftToRight);
        path_->setObjectName("locationPath");
        TextSelection::attach(path_, [this] { return copied_; });
        row->addWidget(path_, 1);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setMaximumWidth(520);
    }

    void setPath(const std::filesystem::path& path) {
        const QString shown = DisplayText::path(path);
        path_->setText(shown);
        copied_ = PathText::display(path);
        setToolTip(plainToolTip(shown));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ContinuousShape::capsule(QRectF(rect())), DS::track.resolved(0.6));
    }

private:
    TextLabel* path_;
    QString copied_;
};

// Runs an action when the wrapped widget is clicked (pills used as plain buttons).
class ClickArea : public QWidget {
public:
    ClickArea(QWidget* content, std::function<void()> action) : action_(std::move(action)) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(content);
        content->setAttribute(Qt::WA_TransparentForMouseEvents);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) action_();
    }

private:
    std::function<void()> action_;
};

// The filter field of the folder list: a magnifier, the text and a clear button on a track capsule.
class FilterCapsule : public QWidget {
public:
    FilterCapsule() {
        setFixedHeight(32);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ContinuousShape::capsule(QRectF(rect())), DS::track.resolved(0.6));
    }
};

QHBoxLayout* cardTitleRow(const QString& symbol, const QString& title, DynamicColor tint) {
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(new IconBadge(symbol, tint, 30));
    row->addWidget(new TextLabel(title, Fonts::system(16, QFont::DemiBold), tint));
    return row;
}

}  // namespace


StorageView::StorageView(AppState& state, DynamicColor tint, CapacitySource capacity, QWidget* parent)
    : QWidget(parent),
      state_(state),
      tint_(tint),
      capacity_(std::move(capacity)),
      selection_(new BucketSelection(this)),
      pageUpdate_(new CoalescedUpdate([this] { updatePage(); }, this)),
      pendingRowClick_(new PendingClick([this](const std::string& id) { selection_->setID(id); }, this)) {
    if (!capacity_) capacity_ = [] { return DiskCapacityService().capacity(SystemRoots::current().root); };
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new DashboardPage;
    outer->addWidget(scroll);

    sampleTimer_.setInterval(int(ScanThroughputSampler::intervalSeconds * 1000));
    connect(&sampleTimer_, &QTimer::timeout, this, &StorageView::sampleThroughput);

    // Escape cancels a running scan wherever the focus is in the window; it is left alone otherwise.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    escape->setEnabled(state_.isScanning());
    connect(escape, &QShortcut::activated, &state_, &AppState::cancelScan);
    connect(&state_, &AppState::isScanningChanged, escape, [this, escape] { escape->setEnabled(state_.isScanning()); });

    QVBoxLayout* page = scroll->beginContent();
    page->addWidget(makeHeroCard());
    page->addWidget(setupCard_ = makeSetupCard());
    page->addWidget(scanningCard_ = makeScanningCard());
    page->addWidget(results_ = makeResults());
    page->addStretch(1);
    // Filled before the page measures itself: parts not yet shown do not tell it when they grow.
    updatePage();
    scroll->endContent();

    connect(&state_, &AppState::isScanningChanged, this, &StorageView::scanningChanged);
    connect(&state_, &AppState::scanSnapshotChanged, this, [this] {
        snapshotChanged_ = true;
        pageUpdate_->request();
    });
    connect(&state_, &AppState::scanRootChanged, pageUpdate_, &CoalescedUpdate::request);
    connect(&state_, &AppState::scanProgressChanged, this, &StorageView::refreshScanningFigures);
    connect(&state_, &AppState::scanErrorChanged, this, &StorageView::showScanError);
    connect(selection_, &BucketSelection::changed, this, [this] {
        for (std::size_t i = 0; i < shownFolderRows_; ++i) folderRowPool_[i]->setHighlighted(selection_->isSelected(rowBuckets_[i].path));
        refreshInspector();
    });

    if (state_.isScanning()) scanningChanged();
}

StorageView::~StorageView() = default;

void StorageView::scanningChanged() {
    if (state_.isScanning()) {
        sampler_.begin(state_.scanProgress() ? state_.scanProgress()->bytesSeen : 0);
        sampleTimer_.start();
    } else {
        sampleTimer_.stop();  // the samples stay until the next scan
    }
    pageUpdate_->request();
}

void StorageView::sampleThroughput() {
    if (!state_.isScanning()) {
        sampleTimer_.stop();
        return;
    }
    sampler_.sample(state_.scanProgress() ? state_.scanProgress()->bytesSeen : 0);
    refreshScanningFigures();
}

void StorageView::updatePage() {
    if (snapshotChanged_) {
        snapshotChanged_ = false;
        shown_ = state_.scanSnapshot();
        refreshResults();
    }
    body_ = state_.isScanning() ? Body::scanning : shown_ ? Body::results : Body::setup;
    refreshHero();
    setupCard_->setVisible(body_ == Body::setup);
    scanningCard_->setVisible(body_ == Body::scanning);
    results_->setVisible(body_ == Body::results);
    refreshScanningFigures();
}

QWidget* StorageView::makeHeroCard() {
    auto* card = new CardModifier(26, 18);
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(22);

    auto* top = new QHBoxLayout;
    top->setSpacing(28);
    auto* left = new QVBoxLayout;
    left->setSpacing(20);
    freeHero_ = new HeroValue({}, {}, {}, 52);
    left->addWidget(freeHero_);
    heroStats_ = new StatColumns;
    left->addWidget(heroStats_);
    usedBar_ = new ThinBar(0, tint_, 6);
    left->addWidget(usedBar_);
    top->addLayout(left, 1);

    auto* right = new QHBoxLayout;
    right->setSpacing(22);
    donut_ = new DonutChart({}, {}, AppLocalization::string("storage.donut.used"), 14);
    donut_->setFixedSize(136, 136);
    right->addWidget(donut_);
    auto* legend = new QVBoxLayout;
    legend->setSpacing(12);
    legendUsed_ = new LegendRow(tint_, {}, {});
    legend->addWidget(legendUsed_);
    legendOther_ = new LegendRow(DynamicColor::dynamic(tint_.light(), tint_.dark(), 0.4, 0.4), AppLocalization::string("storage.otherUsed"), {});
    legendOther_->setObjectName("legendOther");
    legend->addWidget(legendOther_);
    legendReserved_ = new LegendRow(DynamicColor::dynamic(DS::gray.light(), DS::gray.dark(), 0.3, 0.3), AppLocalization::string("storage.reserved"), {});
    legendReserved_->setObjectName("legendReserved");
    legend->addWidget(legendReserved_);
    legendFree_ = new LegendRow(DS::gray, AppLocalization::string("overview.available"), {});
    legend->addWidget(legendFree_);
    auto* legendBox = new QWidget;
    legendBox->setLayout(legend);
    legendBox->setFixedWidth(280);
    right->addWidget(legendBox, 0, Qt::AlignVCenter);
    top->addLayout(right);
    stack->addLayout(top);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    locationPill_ = new LocationPill(tint_);
    buttons->addWidget(locationPill_, 1);
    parentButton_ = new StyledButton(AppLocalization::string("storage.parent"), "arrow.up.to.line", SoftButtonStyle{DynamicColor::primary()});
    parentButton_->setToolTip(plainToolTip(AppLocalization::string("storage.parent")));
    connect(parentButton_, &QAbstractButton::clicked, this, &StorageView::goToParentFolder);
    buttons->addWidget(parentButton_);
    buttons->addStretch(0);
    buttons->addSpacing(12);
    auto* choose = new StyledButton(AppLocalization::string("scan.choose"), "folder", SoftButtonStyle{DynamicColor::primary()});
    choose->setToolTip(plainToolTip(AppLocalization::string("scan.choose")));
    connect(choose, &QAbstractButton::clicked, &state_, &AppState::chooseScanFolder);
    buttons->addWidget(choose);
    cancelButton_ = new StyledButton(AppLocalization::string("action.cancel"), "stop.fill", SoftButtonStyle{DS::orange});
    cancelButton_->setToolTip(plainToolTip(AppLocalization::string("action.cancel")));
    cancelButton_->setObjectName("cancelScan");
    connect(cancelButton_, &QAbstractButton::clicked, &state_, &AppState::cancelScan);
    buttons->addWidget(cancelButton_);
    startButton_ = new StyledButton(AppLocalization::string("scan.start"), "play.fill", TintedButtonStyle{tint_});
    startButton_->setToolTip(plainToolTip(AppLocalization::string("scan.start")));
    startButton_->setObjectName("startScan");
    connect(startButton_, &QAbstractButton::clicked, &state_, &AppState::startScan);
    buttons->addWidget(startButton_);
    stack->addLayout(buttons);
    return card;
}

void StorageView::refreshHero() {
    const DiskCapacityService::Capacity capacity = capacity_();
    const std::int64_t total = std::max<std::int64_t>(capacity.total, 0);
    const std::int64_t free = std::min(total, std::max<std::int64_t>(capacity.available, 0));
    const std::int64_t scanned = shown_ ? shown_->totalSize : 0;
    const std::int64_t reserved = std::min(capacity.reserved(), total - free);
    const std::int64_t used = std::max<std::int64_t>(total - free - reserved, 0);
    const double usedFraction = capacity.total >= 1 ? double(used) / double(total) : 0;
    const std::int64_t shownScanned = std::min(used, scanned);

    const ValueAndUnit freeText = ValueAndUnit::split(ByteFormatting::string(free));
    freeHero_->setCaption(AppLocalization::format("storage.freeOf", {ByteFormatting::string(total)}));
    freeHero_->setValue(freeText.value);
    freeHero_->setUnit(freeText.unit);
    heroStats_->setItems({
        {AppLocalization::string("overview.used"), ByteFormatting::string(used), tint_},
        {AppLocalization::string("scan.total"), shown_ ? ByteFormatting::string(shown_->totalSize) : emDash, std::nullopt},
        {AppLocalization::string("storage.scanLocation"), lastComponent(state_.scanRoot()), std::nullopt},
    });
    usedBar_->setFraction(usedFraction);

    std::vector<DonutSegment> segments;
    if (shownScanned < 1) {
        segments.push_back({double(used), tint_});
    } else {
        segments.push_back({double(shownScanned), tint_});
        segments.push_back({double(std::max<std::int64_t>(used - shownScanned, 0)), tint_.withOpacity(0.4)});
    }
    if (reserved > 0) segments.push_back({double(reserved), DynamicColor::dynamic(DS::gray.light(), DS::gray.dark(), 0.3, 0.3)});
    segments.push_back({double(free), DynamicColor::dynamic(DS::gray.light(), DS::gray.dark(), 0.55, 0.55)});
    donut_->setSegments(segments);
    donut_->setTitle(Fmt::percent(usedFraction));
    if (shownScanned >= 1) {
        legendUsed_->setLabel(AppLocalization::string("storage.scanned"));
        legendUsed_->setValue(ByteFormatting::string(shownScanned));
        legendOther_->setValue(ByteFormatting::string(std::max<std::int64_t>(used - shownScanned, 0)));
    } else {
        legendUsed_->setLabel(AppLocalization::string("overview.used"));
        legendUsed_->setValue(ByteFormatting::string(used));
    }
    legendOther_->setVisible(shownScanned >= 1);
    legendReserved_->setValue(ByteFormatting::string(reserved));
    legendReserved_->setVisible(reserved > 0);
    legendFree_->setValue(ByteFormatting::string(free));

    static_cast<LocationPill*>(locationPill_)->setPath(shown_ ? shown_->rootPath : state_.scanRoot());
    parentButton_->setVisible(offersParentFolder());
    cancelButton_->setVisible(state_.isScanning());
    startButton_->setVisible(!state_.isScanning());
}

bool StorageView::offersParentFolder() const {
    // The results on screen decide, which may lag the state by one turn of the event loop.
    if (!shown_ || state_.isScanning()) return false;
    const std::filesystem::path parent = shown_->rootPath.parent_path();
    return !parent.empty() && parent != shown_->rootPath;
}

void StorageView::goToParentFolder() {
    // Acts on the folder the results show (and the button was offered for), which the scan folder
    // need not be any more after another folder was chosen.
    if (!offersParentFolder()) return;
    state_.setScanRoot(shown_->rootPath);
    state_.scanParentFolder();
}

void StorageView::focus(const StorageBucket& bucket) {
    if (!BucketActions::canFocus(bucket)) return;  // a file as the scan folder would only fail
    state_.setScanRoot(bucket.path);
    state_.saveScanRootBookmark();
    state_.startScan();
}

QWidget* StorageView::makeSetupCard() {
    auto* card = new CardModifier(28, 18);
    auto* stack = new QVBoxLayout;
    stack->setContentsMargins(0, 36, 0, 36);
    stack->setSpacing(18);
    stack->addWidget(new IconBadge("square.3.layers.3d.down.right", tint_, 64), 0, Qt::AlignHCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    auto* title = new TextLabel(AppLocalization::string("storage.empty.title"), Fonts::system(22, QFont::Bold));
    title->setAlignment(Qt::AlignHCenter);
    texts->addWidget(title, 0, Qt::AlignHCenter);
    auto* detail = new TextLabel(AppLocalization::string("storage.empty.detail"), Fonts::system(14), DynamicColor::secondary());
    detail->setWordWrap(true);
    detail->setAlignment(Qt::AlignHCenter);
    detail->setFixedWidth(460);  // wraps within 460 and keeps every line
    detail->setMinimumHeight(detail->heightForWidth(460));
    texts->addWidget(detail, 0, Qt::AlignHCenter);
    stack->addLayout(texts);
    auto* pills = new QHBoxLayout;
    pills->setSpacing(8);
    pills->addStretch(1);
    pills->addWidget(new Pill(AppLocalization::string("storage.view.folders"), "folder.fill", tint_));
    pills->addWidget(new Pill(AppLocalization::string("storage.view.blocks"), "square.grid.2x2.fill", tint_));
    pills->addWidget(new Pill(AppLocalization::string("storage.view.3d"), "cube.fill", tint_));
    pills->addStretch(1);
    stack->addLayout(pills);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 4, 0, 0);
    buttons->setSpacing(10);
    buttons->addStretch(1);
    auto* choose = new StyledButton(AppLocalization::string("scan.choose"), "folder", SoftButtonStyle{DynamicColor::primary()});
    connect(choose, &QAbstractButton::clicked, &state_, &AppState::chooseScanFolder);
    buttons->addWidget(choose);
    auto* start = new StyledButton(AppLocalization::string("scan.start"), "play.fill", TintedButtonStyle{tint_});
    connect(start, &QAbstractButton::clicked, &state_, &AppState::startScan);
    buttons->addWidget(start);
    buttons->addStretch(1);
    stack->addLayout(buttons);
    card->contentLayout()->addLayout(stack);

    // Only while the card is shown: a hidden widget's shortcuts do not fire.
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), card);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, &state_, &AppState::startScan);
    }
    return card;
}

QWidget* StorageView::makeScanningCard() {
    auto* card = new CardModifier(24, 18);
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(20);

    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    header->addWidget(new IconBadge("internaldrive", tint_, 30));
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(new TextLabel(AppLocalization::string("scan.scanning"), Fonts::system(16, QFont::DemiBold), tint_));
    titles->addWidget(new TextLabel(AppLocalization::string("scan.phase.detail"), Fonts::system(13), DynamicColor::secondary()));
    header->addLayout(titles, 1);
    header->addSpacing(8);
    header->addWidget(new BusySpinner);
    stack->addLayout(header);

    scanningHero_ = new HeroValue(AppLocalization::string("scan.total"), {}, {}, 46);
    stack->addWidget(scanningHero_);
    scanningStats_ = new StatColumns;
    stack->addWidget(scanningStats_);
    sparkline_ = new BarSparkline({}, tint_, std::nullopt, 60, 72);
    stack->addWidget(sparkline_);

    auto* pathBox = new RaisedPanel(12, 6);
    pathBox->contentLayout()->addWidget(new TextLabel(AppLocalization::string("scan.current"), Fonts::system(12, QFont::Medium), DynamicColor::tertiary()));
    currentPath_ = new TextLabel({}, Fonts::monospaced(12), DynamicColor::secondary());
    currentPath_->setElideMode(Qt::ElideMiddle);
    currentPath_->setLayoutDirection(Qt::LeftToRight);
    currentPath_->setObjectName("currentPath");
    TextSelection::attach(currentPath_, [this] { return currentPathCopied_; });
    pathBox->contentLayout()->addWidget(currentPath_);
    stack->addWidget(pathBox);
    return card;
}

void StorageView::refreshScanningFigures() {
    if (body_ != Body::scanning) return;
    const std::optional<ScanProgress>& progress = state_.scanProgress();
    const std::int64_t bytesRead = progress ? std::max<std::int64_t>(progress->bytesSeen, 0) : 0;
    const ValueAndUnit headline = ValueAndUnit::split(ByteFormatting::string(bytesRead));
    scanningHero_->setValue(headline.value);
    scanningHero_->setUnit(headline.unit);
    const std::uint64_t speed = std::min<std::uint64_t>(sampler_.speed(), std::uint64_t(std::numeric_limits<std::int64_t>::max()));
    scanningStats_->setItems({
        {AppLocalization::string("scan.files"), wholeNumber(progress ? progress->filesSeen : 0), std::nullopt},
        {AppLocalization::string("storage.scanSpeed"), ByteFormatting::string(speed) + QStringLiteral("/s"), std::nullopt},
        {AppLocalization::string("storage.scanLocation"), lastComponent(state_.scanRoot()), std::nullopt},
    });
    sparkline_->setValues(std::vector<double>(sampler_.samples().begin(), sampler_.samples().end()));
    currentPathCopied_ = progress ? PathText::display(std::string_view(progress->path)) : PathText::display(state_.scanRoot());
    currentPath_->setText(DisplayText::path(currentPathCopied_));
}

QWidget* StorageView::makeResults() {
    auto* results = new QWidget;
    auto* stack = new QVBoxLayout(results);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);

    // Figures.
    auto* figures = new QHBoxLayout;
    figures->setSpacing(16);
    durationText_ = new TextLabel({}, Fonts::system(13), DynamicColor::secondary());
    totalTile_ = new StatTile(AppLocalization::string("scan.total"), "externaldrive.fill", tint_, {}, durationText_);
    figures->addWidget(totalTile_, 1);
    skippedRow_ = new QWidget;
    auto* skipped = new QHBoxLayout(skippedRow_);
    skipped->setContentsMargins(0, 0, 0, 0);
    skippedPill_ = new Pill({}, "lock.fill", DS::gray);
    skipped->addWidget(skippedPill_);
    skipped->addStretch(1);
    filesTile_ = new StatTile(AppLocalization::string("scan.files"), "doc.fill", tint_, {}, skippedRow_);
    figures->addWidget(filesTile_, 1);
    foldersTile_ = new StatTile(AppLocalization::string("scan.folders"), "folder.fill", tint_, {});
    figures->addWidget(foldersTile_, 1);
    largestPill_ = new Pill({}, "folder.fill", tint_);
    auto* area = new ClickArea(largestPill_, [this] {
        if (largestBucket_) selection_->setID(largestBucket_->path);
    });
    largestFooter_ = new QWidget;
    auto* largestRow = new QHBoxLayout(largestFooter_);
    largestRow->setContentsMargins(0, 0, 0, 0);
    largestRow->addWidget(area);
    largestRow->addStretch(1);
    largestTile_ = new StatTile(AppLocalization::string("storage.largestFolder"), "crown.fill", tint_, {}, largestFooter_);
    figures->addWidget(largestTile_, 1);
    stack->addLayout(figures);

    // Map and inspector, equally tall.
    auto* mapRow = new QHBoxLayout;
    mapRow->setSpacing(16);
    mapCard_ = new StorageMapCard(selection_, tint_, [this](const StorageBucket& b) { focus(b); });
    mapRow->addWidget(mapCard_, 1);
    auto* inspectorCard = new CardModifier(22, 18);
    inspectorCard->setFixedWidth(340);
    inspector_ = new FolderInspector(tint_, [this](const StorageBucket& b) { focus(b); });
    inspectorCard->contentLayout()->addWidget(inspector_, 1);
    mapRow->addWidget(inspectorCard);
    stack->addLayout(mapRow);

    stack->addWidget(makeFolderBreakdown());
    stack->addWidget(largestFiles_ = makeLargestFiles());
    return results;
}

void StorageView::refreshResults() {
    // A selection the new scan still holds stays; any other is dropped.
    selection_->setHolds([this](const std::string& id) { return shown_ && BucketListing::holds(shown_->buckets, id); });
    if (!shown_) {
        visible_.clear();
        mapCard_->setVisible({});  // it pointed into the snapshot just let go
        return;
    }
    const ScanSnapshot& snapshot = *shown_;
    palette_ = StorageRankPalette(snapshot.buckets);

    durationText_->setText(AppLocalization::string("scan.duration") + QStringLiteral(" \u00B7 ") +
                           isolatedText(AppLocalization::activeLocale().toString(snapshot.duration, 'f', 1) + QStringLiteral("s")));
    totalTile_->setValue(ByteFormatting::string(snapshot.totalSize));
    filesTile_->setValue(wholeNumber(snapshot.fileCount));
    skippedPill_->setText(AppLocalization::format("scan.skipped", {qlonglong(snapshot.inaccessibleCount)}));
    skippedRow_->setVisible(snapshot.inaccessibleCount >= 1);
    foldersTile_->setValue(wholeNumber(snapshot.folderCount));
    const StorageBucket* largest = snapshot.buckets.empty() ? nullptr : &snapshot.buckets.front();
    largestBucket_ = largest ? std::optional(*largest) : std::nullopt;
    largestTile_->setValue(largest ? ByteFormatting::string(largest->size) : emDash);
    largestFooter_->setVisible(largest != nullptr);
    if (largest) {
        largestPill_->setText(DisplayText::name(largest->name()));
        largestFooter_->setToolTip(plainToolTip(DisplayText::path(largest->path)));
    }

    visible_ = visibleBuckets();
    mapCard_->setSnapshot(snapshot, visible_, palette_);
    refreshInspector();
    refreshFolders();
    refreshLargestFiles();
}

void StorageView::refreshInspector() {
    if (!shown_) return;
    const ScanSnapshot& snapshot = *shown_;
    const std::optional<StorageBucket> bucket = BucketListing::selectedBucket(snapshot.buckets, selection_->id());
    inspector_->setContent(snapshot, bucket, bucket ? palette_.color(bucket->path) : tint_);
}

QWidget* StorageView::makeFolderBreakdown() {
    auto* section = new QWidget;
    auto* stack = new QVBoxLayout(section);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(12);

    auto* header = cardTitleRow("folder.fill", AppLocalization::string("storage.breakdown"), tint_);
    header->setContentsMargins(4, 0, 4, 0);
    header->addStretch(1);
    header->addSpacing(12);

    auto* field = new FilterCapsule;
    auto* fieldRow = new QHBoxLayout(field);
    fieldRow->setContentsMargins(12, 0, 12, 0);
    fieldRow->setSpacing(6);
    fieldRow->addWidget(new SymbolView(SymbolImage{.symbol = "magnifyingglass", .size = 13, .color = DynamicColor::secondary()}));
    filterEdit_ = new QLineEdit(folderFilter_);
    filterEdit_->setFrame(false);
    filterEdit_->setPlaceholderText(AppLocalization::string("storage.filter"));
    filterEdit_->setFont(Fonts::system(13));
    filterEdit_->setFixedWidth(150);
    filterEdit_->setAttribute(Qt::WA_MacShowFocusRect, false);
    filterEdit_->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    fieldRow->addWidget(filterEdit_);
    auto* clear = new SymbolButton(SymbolImage{.symbol = "xmark.circle.fill", .size = 13, .color = DynamicColor::secondary()});
    clear->setAccessibleName(AppLocalization::string("action.cancel"));
    clear->setVisible(!folderFilter_.isEmpty());
    clearFilter_ = clear;
    fieldRow->addWidget(clear);
    connect(clear, &QAbstractButton::clicked, this, [this] { setFilter({}); });
    connect(filterEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        folderFilter_ = text;
        clearFilter_->setVisible(!text.isEmpty());
        if (!shown_) return;
        visible_ = visibleBuckets();
        mapCard_->setVisible(visible_);
        refreshFolders();
    });
    header->addWidget(field);

    std::vector<TabItem> sorts;
    for (FolderSort sort : allCases<FolderSort>()) sorts.push_back({rawText(sort), AppLocalization::string(tabTitleKey(sort)), symbol(sort), tint_});
    auto* sortBar = new PillTabBar(sorts, rawText(folderSort_), true);
    sortBar->setAccessibleName(AppLocalization::string("storage.sort"));
    connect(sortBar, &PillTabBar::selectionChanged, this, [this, sortBar](const QString& id) {
        sortBar->setSelection(id);
        if (auto sort = fromRawText<FolderSort>(id)) setSort(*sort);
    });
    header->addWidget(sortBar);
    stack->addLayout(header);

    folderList_ = new RankedList(AppLocalization::string("storage.folder"), AppLocalization::string("storage.sizeOnDisk"));
    noFolders_ = new NoFoldersState;
    folderList_->rowsLayout()->addWidget(noFolders_);
    moreFolderRows_ = new QWidget;
    auto* moreLayout = new QVBoxLayout(moreFolderRows_);
    moreLayout->setContentsMargins(0, 0, 0, 0);
    moreLayout->setSpacing(folderList_->rowsLayout()->spacing());
    moreFolders_ = new RevealBox(moreFolderRows_, Ease::showAllMs);
    folderList_->rowsLayout()->addWidget(moreFolders_);
    showAllButton_ = new StyledButton({}, {}, SoftButtonStyle{tint_});
    showAllButton_->setObjectName("showAllFolders");
    showAllButton_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    showAllHolder_ = new QWidget;
    auto* holderLayout = new QHBoxLayout(showAllHolder_);
    holderLayout->setContentsMargins(0, 8, 0, 8);
    holderLayout->addWidget(showAllButton_);
    connect(showAllButton_, &QAbstractButton::clicked, this, [this] { setShowAllFolders(!showAllFolders_); });
    folderList_->rowsLayout()->addWidget(showAllHolder_);
    stack->addWidget(folderList_);
    return section;
}

std::vector<const StorageBucket*> StorageView::visibleBuckets() const {
    // No list shows more than the folder list with all its rows, so only those need their order.
    return BucketListing::visibleBuckets(shown_->buckets, folderFilter_, folderSort_, maximumFolderRows);
}

RankedRow* StorageView::folderRow(std::size_t index) {
    while (folderRowPool_.size() <= index) {
        const std::size_t i = folderRowPool_.size();
        auto* row = new RankedRow({}, {}, {}, {}, {}, 0, tint_, false);
        row->setContextMenuPolicy(Qt::CustomContextMenu);
        // A row stands for whichever bucket it shows when it is used; the menu keeps that one even
        // when a new scan relabels the row while it is open.
        connect(row, &QWidget::customContextMenuRequested, this, [this, row, i](const QPoint& at) {
            const StorageBucket bucket = rowBuckets_[i];
            BucketActions::showMenu(row, row->mapToGlobal(at), bucket, [this](const StorageBucket& b) { focus(b); });
        });
        connect(row, &RankedRow::clicked, this, [this, i] { pendingRowClick_->clicked(rowBuckets_[i].path); });
        row->setDefaultAction([this, i] { selection_->setID(rowBuckets_[i].path); });
        auto* focusAction = new QAction(AppLocalization::string("storage.focus"), row);
        connect(focusAction, &QAction::triggered, this, [this, i] {
            const StorageBucket bucket = rowBuckets_[i];
            focus(bucket);
        });
        row->addAction(focusAction);
        connect(row, &RankedRow::doubleClicked, this, [this, i] {
            pendingRowClick_->doubleClicked();
            const StorageBucket bucket = rowBuckets_[i];
            focus(bucket);
        });
        if (i < firstFolderRows)
            folderList_->rowsLayout()->insertWidget(int(i), row);
        else
            static_cast<QVBoxLayout*>(moreFolderRows_->layout())->addWidget(row);
        folderRowPool_.push_back(row);
    }
    return folderRowPool_[index];
}

void StorageView::refreshFolders() {
    if (!shown_) return;
    const ScanSnapshot& snapshot = *shown_;
    std::int64_t largestSize = 1;
    for (const StorageBucket* bucket : visible_) largestSize = std::max(largestSize, bucket->size);
    // Only the rows on screen exist, however many buckets the scan holds.
    const std::size_t count = std::min(visible_.size(), showAllFolders_ ? maximumFolderRows : firstFolderRows);

    rowBuckets_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const StorageBucket& bucket = *visible_[i];
        rowBuckets_.push_back(bucket);
        const double share = snapshot.totalSize < 1 ? 0 : double(bucket.size) / double(snapshot.totalSize);
        RankedRow* row = folderRow(i);
        row->setIcon(fileIcon(bucket.path));
        row->setTitle(DisplayText::name(bucket.name()));
        row->setSubtitle(AppLocalization::format("storage.filesCount", {wholeNumber(bucket.fileCount)}) + QStringLiteral(" \u00B7 ") + isolatedText(shareText(share)));
        row->setValue(ByteFormatting::string(bucket.size));
        row->setFraction(double(bucket.size) / double(largestSize));
        row->setHighlighted(selection_->isSelected(bucket.path));
        row->setToolTip(plainToolTip(DisplayText::path(bucket.path)));
        row->setProperty("bucketID", QString::fromStdString(bucket.path));
        row->actions().front()->setEnabled(BucketActions::canFocus(bucket));
        row->show();
    }
    for (std::size_t i = count; i < folderRowPool_.size(); ++i) folderRowPool_[i]->hide();
    shownFolderRows_ = count;
    noFolders_->setVisible(count == 0);
    noFolders_->setFiltered(!snapshot.buckets.empty());
    showAllHolder_->setVisible(visible_.size() > firstFolderRows);
    showAllButton_->setText(AppLocalization::string(showAllFolders_ ? textKey("storage.showLess") : textKey("storage.showAll")));
    showAllButton_->setSymbol(showAllFolders_ ? "chevron.up" : "chevron.down");
}

std::vector<RankedRow*> StorageView::folderRows() const {
    return {folderRowPool_.begin(), folderRowPool_.begin() + std::ptrdiff_t(shownFolderRows_)};
}

QWidget* StorageView::makeLargestFiles() {
    auto* section = new QWidget;
    auto* stack = new QVBoxLayout(section);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(12);
    auto* header = cardTitleRow("doc.fill", AppLocalization::string("storage.largest"), tint_);
    header->setContentsMargins(4, 0, 4, 0);
    header->addStretch(1);
    stack->addLayout(header);
    largestFilesList_ = new RankedList(AppLocalization::string("storage.largest"), AppLocalization::string("storage.sizeOnDisk"));
    stack->addWidget(largestFilesList_);
    return section;
}

void StorageView::refreshLargestFiles() {
    const ScanSnapshot& snapshot = *shown_;
    const std::size_t count = std::min<std::size_t>(snapshot.largestFiles.size(), 20);
    largestFiles_->setVisible(count > 0);
    std::int64_t largestSize = 1;
    for (std::size_t i = 0; i < count; ++i) largestSize = std::max(largestSize, snapshot.largestFiles[i].size);
    rowFiles_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const ScannedFile& file = snapshot.largestFiles[i];
        rowFiles_.push_back(file.path);
        if (fileRowPool_.size() <= i) {
            auto* row = new RankedRow({}, {}, {}, {}, {}, 0, tint_, false);
            row->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(row, &QWidget::customContextMenuRequested, this, [this, row, i](const QPoint& at) {
                const std::filesystem::path shownFile = rowFiles_[i];
                BucketActions::showFileMenu(row, row->mapToGlobal(at), shownFile);
            });
            connect(row, &RankedRow::doubleClicked, this, [this, i] { FileActions::reveal(rowFiles_[i]); });
            row->setDefaultAction([this, i] { FileActions::reveal(rowFiles_[i]); });
            largestFilesList_->rowsLayout()->addWidget(row);
            fileRowPool_.push_back(row);
        }
        RankedRow* row = fileRowPool_[i];
        row->setIcon(fileIcon(file.path));
        row->setTitle(DisplayText::name(file.path.filename()));
        row->setSubtitle(DisplayText::path(file.path.parent_path()));
        row->setValue(ByteFormatting::string(file.size));
        row->setFraction(double(file.size) / double(largestSize));
        row->setToolTip(plainToolTip(DisplayText::path(file.path)));
        row->show();
    }
    for (std::size_t i = count; i < fileRowPool_.size(); ++i) fileRowPool_[i]->hide();
}

QString StorageView::filter() const { return folderFilter_; }

void StorageView::setFilter(const QString& text) {
    filterEdit_->setText(text);  // refreshes through textChanged
}

void StorageView::setSort(FolderSort sort) {
    folderSort_ = sort;
    if (!shown_) return;
    visible_ = visibleBuckets();
    mapCard_->setVisible(visible_);
    refreshFolders();
}

void StorageView::setShowAllFolders(bool showAll) {
    if (showAll != showAllFolders_) moreFolders_->easeNextChange();
    showAllFolders_ = showAll;
    refreshFolders();
}

void StorageView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Nothing else shows a scan error: one set while this screen was away is shown on coming back.
    QTimer::singleShot(0, this, &StorageView::showScanError);
}

void StorageView::showScanError() {
    const std::optional<QString>& error = state_.scanError();
    if (!error) {
        if (errorAlert_) errorAlert_->close();
        return;
    }
    if (errorAlert_ || !isVisible()) return;
    errorAlert_ = new QMessageBox(QMessageBox::Warning, AppLocalization::string("error.title"), *error, QMessageBox::NoButton, this);
    errorAlert_->setTextFormat(Qt::PlainText);  // a path in the message is never markup
    errorAlert_->addButton(AppLocalization::string("action.ok"), QMessageBox::AcceptRole);
    errorAlert_->setAttribute(Qt::WA_DeleteOnClose);
    connect(errorAlert_, &QDialog::finished, this, [this] { state_.clearScanError(); });
    errorAlert_->open();
}
