#include "Views/Storage/StorageView.h"

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
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/BarSparkline.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DonutChart.h"
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
#include "Views/Storage/StorageMapCard.h"
#include "Views/Storage/StorageRankPalette.h"
#include "Views/Common/ValueAndUnit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyleHints>

#include <algorithm>
#include <limits>

namespace {

const QString emDash = QStringLiteral("\u2014");

QString bytes(std::int64_t count) { return ByteFormatting::string(count); }
QString wholeNumber(std::int64_t count) { return QLocale::system().toString(qlonglong(count)); }
QString shareText(double share) { return share < 0.01 ? Fmt::finePercent(share) : Fmt::percent(share); }

QString lastComponent(const std::filesystem::path& path) {
    const std::filesystem::path name = path.filename();
    return PathText::display(name.empty() ? path : name);
}

// A capsule on the track colour with a folder symbol and a path that stays left to right.
class LocationPill : public QWidget {
public:
    LocationPill(const QString& path, DynamicColor tint) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(12, 7, 12, 7);
        row->setSpacing(7);
        row->addWidget(new SymbolView(SymbolImage{.symbol = "folder.fill", .size = 12, .color = tint}));
        auto* text = new TextLabel(path, Fonts::monospaced(12), DynamicColor::secondary());
        text->setElideMode(Qt::ElideMiddle);
        text->setLayoutDirection(Qt::LeftToRight);
        row->addWidget(text, 1);
        setToolTip(plainToolTip(path));
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setMaximumWidth(520);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(ContinuousShape::capsule(QRectF(rect())), DS::track.resolved(0.6));
    }
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
    : QWidget(parent), state_(state), tint_(tint), capacity_(std::move(capacity)), selection_(new BucketSelection(this)) {
    if (!capacity_) capacity_ = [] { return DiskCapacityService().capacity(SystemRoots::current().root); };
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    scroll_ = new DashboardPage;
    outer->addWidget(scroll_);

    sampleTimer_.setInterval(int(ScanThroughputSampler::intervalSeconds * 1000));
    connect(&sampleTimer_, &QTimer::timeout, this, &StorageView::sampleThroughput);
    pendingSelect_.setSingleShot(true);
    connect(&pendingSelect_, &QTimer::timeout, this, [this] {
        if (pendingSelectID_) selection_->setID(*pendingSelectID_);
        pendingSelectID_.reset();
    });

    // Escape cancels a running scan wherever the focus is in the window; it is left alone otherwise.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    escape->setEnabled(state_.isScanning());
    connect(escape, &QShortcut::activated, &state_, &AppState::cancelScan);
    connect(&state_, &AppState::isScanningChanged, escape, [this, escape] { escape->setEnabled(state_.isScanning()); });

    connect(&state_, &AppState::isScanningChanged, this, &StorageView::scanningChanged);
    connect(&state_, &AppState::scanSnapshotChanged, this, &StorageView::rebuild);
    connect(&state_, &AppState::scanRootChanged, this, &StorageView::rebuild);
    connect(&state_, &AppState::scanProgressChanged, this, &StorageView::refreshScanningFigures);
    connect(&state_, &AppState::scanErrorChanged, this, &StorageView::showScanError);
    connect(selection_, &BucketSelection::changed, this, [this] {
        for (RankedRow* row : folderRows_) row->setHighlighted(selection_->isSelected(row->property("bucketID").toString().toStdString()));
        refreshInspector();
    });

    rebuild();
    if (state_.isScanning()) scanningChanged();
    QTimer::singleShot(0, this, &StorageView::showScanError);
}

StorageView::~StorageView() = default;

void StorageView::scanningChanged() {
    if (state_.isScanning()) {
        sampler_.begin(state_.scanProgress() ? state_.scanProgress()->bytesSeen : 0);
        sampleTimer_.start();
    } else {
        sampleTimer_.stop();  // the samples stay until the next scan
    }
    rebuild();
}

void StorageView::sampleThroughput() {
    if (!state_.isScanning()) {
        sampleTimer_.stop();
        return;
    }
    sampler_.sample(state_.scanProgress() ? state_.scanProgress()->bytesSeen : 0);
    refreshScanningFigures();
}

void StorageView::rebuild() {
    body_ = state_.isScanning() ? Body::scanning : state_.scanSnapshot() ? Body::results : Body::setup;
    scanningHero_ = nullptr;
    scanningStats_ = nullptr;
    sparkline_ = nullptr;
    currentPath_ = nullptr;
    filterEdit_ = nullptr;
    clearFilter_ = nullptr;
    folderList_ = nullptr;
    folderRows_.clear();
    mapCard_ = nullptr;
    inspectorCard_ = nullptr;
    inspector_ = nullptr;

    page_ = scroll_->beginContent();
    page_->addWidget(makeHeroCard());
    switch (body_) {
    case Body::scanning: page_->addWidget(makeScanningCard()); break;
    case Body::results: page_->addWidget(makeResults(*state_.scanSnapshot())); break;
    case Body::setup: page_->addWidget(makeSetupCard()); break;
    }
    page_->addStretch(1);
    scroll_->endContent();
    refreshScanningFigures();
}

QWidget* StorageView::makeHeroCard() {
    const DiskCapacityService::Capacity capacity = capacity_();
    const std::int64_t total = std::max<std::int64_t>(capacity.total, 0);
    const std::int64_t free = std::min(total, std::max<std::int64_t>(capacity.available, 0));
    const std::shared_ptr<const ScanSnapshot>& snapshot = state_.scanSnapshot();
    const std::int64_t scanned = snapshot ? snapshot->totalSize : 0;
    const std::int64_t used = std::max<std::int64_t>(total - free, 0);
    const double usedFraction = capacity.total >= 1 ? double(used) / double(total) : 0;
    const std::int64_t shownScanned = std::min(used, scanned);

    auto* card = new CardModifier(26, 18);
    QVBoxLayout* stack = card->contentLayout();
    stack->setSpacing(22);

    auto* top = new QHBoxLayout;
    top->setSpacing(28);
    auto* left = new QVBoxLayout;
    left->setSpacing(20);
    const ValueAndUnit freeText = ValueAndUnit::split(bytes(free));
    left->addWidget(new HeroValue(AppLocalization::format("storage.freeOf", {bytes(total)}), freeText.value, freeText.unit, 52));
    left->addWidget(new StatColumns({
        {AppLocalization::string("overview.used"), bytes(used), tint_},
        {AppLocalization::string("scan.total"), snapshot ? bytes(snapshot->totalSize) : emDash, std::nullopt},
        {AppLocalization::string("storage.scanLocation"), lastComponent(state_.scanRoot()), std::nullopt},
    }));
    left->addWidget(new ThinBar(usedFraction, tint_, 6));
    top->addLayout(left, 1);

    auto* right = new QHBoxLayout;
    right->setSpacing(22);
    std::vector<DonutSegment> segments;
    if (shownScanned < 1) {
        segments.push_back({double(used), tint_});
    } else {
        segments.push_back({double(shownScanned), tint_});
        segments.push_back({double(std::max<std::int64_t>(used - shownScanned, 0)), tint_.withOpacity(0.4)});
    }
    segments.push_back({double(free), DynamicColor::dynamic(DS::gray.light(), DS::gray.dark(), 0.55, 0.55)});
    auto* donut = new DonutChart(segments, Fmt::percent(usedFraction), AppLocalization::string("storage.donut.used"), 14);
    donut->setFixedSize(136, 136);
    right->addWidget(donut);
    auto* legend = new QVBoxLayout;
    legend->setSpacing(12);
    if (shownScanned >= 1) {
        legend->addWidget(new LegendRow(tint_, AppLocalization::string("storage.scanned"), bytes(shownScanned)));
        legend->addWidget(new LegendRow(DynamicColor::dynamic(tint_.light(), tint_.dark(), 0.4, 0.4), AppLocalization::string("storage.otherUsed"),
                                        bytes(std::max<std::int64_t>(used - shownScanned, 0))));
    } else {
        legend->addWidget(new LegendRow(tint_, AppLocalization::string("overview.used"), bytes(used)));
    }
    legend->addWidget(new LegendRow(DS::gray, AppLocalization::string("overview.available"), bytes(free)));
    auto* legendBox = new QWidget;
    legendBox->setLayout(legend);
    legendBox->setFixedWidth(230);
    right->addWidget(legendBox, 0, Qt::AlignVCenter);
    top->addLayout(right);
    stack->addLayout(top);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    const QString pillPath = PathText::display(snapshot ? snapshot->rootPath : state_.scanRoot());
    buttons->addWidget(new LocationPill(pillPath, tint_), 1);
    if (offersParentFolder()) {
        auto* parentButton = new StyledButton(AppLocalization::string("storage.parent"), "arrow.up.to.line", SoftButtonStyle{DynamicColor::primary()});
        parentButton->setToolTip(plainToolTip(AppLocalization::string("storage.parent")));
        connect(parentButton, &QAbstractButton::clicked, this, &StorageView::goToParentFolder);
        buttons->addWidget(parentButton);
    }
    buttons->addStretch(0);
    buttons->addSpacing(12);
    auto* choose = new StyledButton(AppLocalization::string("scan.choose"), "folder", SoftButtonStyle{DynamicColor::primary()});
    choose->setToolTip(plainToolTip(AppLocalization::string("scan.choose")));
    connect(choose, &QAbstractButton::clicked, &state_, &AppState::chooseScanFolder);
    buttons->addWidget(choose);
    if (state_.isScanning()) {
        auto* cancel = new StyledButton(AppLocalization::string("action.cancel"), "stop.fill", SoftButtonStyle{DS::orange});
        cancel->setToolTip(plainToolTip(AppLocalization::string("action.cancel")));
        cancel->setObjectName("cancelScan");
        connect(cancel, &QAbstractButton::clicked, &state_, &AppState::cancelScan);
        buttons->addWidget(cancel);
    } else {
        auto* start = new StyledButton(AppLocalization::string("scan.start"), "play.fill", TintedButtonStyle{tint_});
        start->setToolTip(plainToolTip(AppLocalization::string("scan.start")));
        start->setObjectName("startScan");
        connect(start, &QAbstractButton::clicked, &state_, &AppState::startScan);
        buttons->addWidget(start);
    }
    stack->addLayout(buttons);
    return card;
}

bool StorageView::offersParentFolder() const {
    const std::shared_ptr<const ScanSnapshot>& snapshot = state_.scanSnapshot();
    if (!snapshot || state_.isScanning()) return false;
    const std::filesystem::path parent = snapshot->rootPath.parent_path();
    return !parent.empty() && parent != snapshot->rootPath;
}

void StorageView::goToParentFolder() {
    // Acts on the folder the results show (and the button was offered for), which the scan folder
    // need not be any more after another folder was chosen.
    if (!offersParentFolder()) return;
    state_.setScanRoot(state_.scanSnapshot()->rootPath);
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
    pathBox->contentLayout()->addWidget(currentPath_);
    stack->addWidget(pathBox);
    return card;
}

void StorageView::refreshScanningFigures() {
    if (!scanningHero_) return;
    const std::optional<ScanProgress>& progress = state_.scanProgress();
    const std::int64_t bytesRead = progress ? std::max<std::int64_t>(progress->bytesSeen, 0) : 0;
    const ValueAndUnit headline = ValueAndUnit::split(bytes(bytesRead));
    scanningHero_->setValue(headline.value);
    scanningHero_->setUnit(headline.unit);
    const std::uint64_t speed = std::min<std::uint64_t>(sampler_.speed(), std::uint64_t(std::numeric_limits<std::int64_t>::max()));
    scanningStats_->setItems({
        {AppLocalization::string("scan.files"), wholeNumber(progress ? progress->filesSeen : 0), std::nullopt},
        {AppLocalization::string("storage.scanSpeed"), ByteFormatting::string(speed) + QStringLiteral("/s"), std::nullopt},
        {AppLocalization::string("storage.scanLocation"), lastComponent(state_.scanRoot()), std::nullopt},
    });
    sparkline_->setValues(std::vector<double>(sampler_.samples().begin(), sampler_.samples().end()));
    currentPath_->setText(progress ? PathText::display(std::string_view(progress->path)) : PathText::display(state_.scanRoot()));
}

std::vector<StorageBucket> StorageView::visibleBuckets() const {
    if (!state_.scanSnapshot()) return {};
    return BucketListing::visibleBuckets(state_.scanSnapshot()->buckets, folderFilter_, folderSort_);
}

QWidget* StorageView::makeResults(const ScanSnapshot& snapshot) {
    auto* results = new QWidget;
    auto* stack = new QVBoxLayout(results);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);

    // Figures.
    auto* figures = new QHBoxLayout;
    figures->setSpacing(16);
    auto* duration = new TextLabel(AppLocalization::string("scan.duration") + QStringLiteral(" \u00B7 ") +
                                       isolatedText(QLocale::system().toString(snapshot.duration, 'f', 1) + QStringLiteral("s")),
                                   Fonts::system(13), DynamicColor::secondary());
    figures->addWidget(new StatTile(AppLocalization::string("scan.total"), "externaldrive.fill", tint_, bytes(snapshot.totalSize), duration), 1);
    QWidget* skipped = snapshot.inaccessibleCount >= 1
                           ? new Pill(AppLocalization::format("scan.skipped", {qlonglong(snapshot.inaccessibleCount)}), "lock.fill", DS::gray)
                           : nullptr;
    QWidget* skippedRow = nullptr;
    if (skipped) {
        skippedRow = new QWidget;
        auto* row = new QHBoxLayout(skippedRow);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(skipped);
        row->addStretch(1);
    }
    figures->addWidget(new StatTile(AppLocalization::string("scan.files"), "doc.fill", tint_, wholeNumber(snapshot.fileCount), skippedRow), 1);
    figures->addWidget(new StatTile(AppLocalization::string("scan.folders"), "folder.fill", tint_, wholeNumber(snapshot.folderCount)), 1);
    const StorageBucket* largest = snapshot.buckets.empty() ? nullptr : &snapshot.buckets.front();
    QWidget* largestFooter = nullptr;
    if (largest) {
        const std::string id = largest->path;
        auto* pill = new Pill(PathText::display(largest->name()), "folder.fill", tint_);
        auto* area = new ClickArea(pill, [this, id] { selection_->setID(id); });
        area->setToolTip(plainToolTip(PathText::display(largest->path)));
        largestFooter = new QWidget;
        auto* row = new QHBoxLayout(largestFooter);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(area);
        row->addStretch(1);
    }
    figures->addWidget(new StatTile(AppLocalization::string("storage.largestFolder"), "crown.fill", tint_,
                                    largest ? bytes(largest->size) : emDash, largestFooter), 1);
    stack->addLayout(figures);

    // Map and inspector, equally tall.
    auto* mapRow = new QHBoxLayout;
    mapRow->setSpacing(16);
    mapCard_ = new StorageMapCard(selection_, tint_, [this](const StorageBucket& b) { focus(b); });
    mapCard_->setSnapshot(snapshot, visibleBuckets());
    mapRow->addWidget(mapCard_, 1);
    inspectorCard_ = new CardModifier(22, 18);
    inspectorCard_->setFixedWidth(340);
    mapRow->addWidget(inspectorCard_);
    stack->addLayout(mapRow);
    refreshInspector();

    stack->addWidget(makeFolderBreakdown());
    if (!snapshot.largestFiles.empty()) stack->addWidget(makeLargestFiles(snapshot));
    return results;
}

void StorageView::refreshInspector() {
    if (!inspectorCard_ || !state_.scanSnapshot()) return;
    const ScanSnapshot& snapshot = *state_.scanSnapshot();
    const std::optional<StorageBucket> bucket = BucketListing::selectedBucket(snapshot.buckets, selection_->id());
    const DynamicColor tint = bucket ? StorageRankPalette(snapshot.buckets).color(bucket->path) : tint_;
    delete inspector_;
    inspector_ = new FolderInspector(snapshot, bucket, tint, [this](const StorageBucket& b) { focus(b); });
    static_cast<CardModifier*>(inspectorCard_)->contentLayout()->addWidget(inspector_, 1);
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
    stack->addWidget(folderList_);
    refreshFolders();
    return section;
}

void StorageView::refreshFolders() {
    if (!folderList_ || !state_.scanSnapshot()) return;
    const ScanSnapshot& snapshot = *state_.scanSnapshot();
    QVBoxLayout* rows = folderList_->rowsLayout();
    while (QLayoutItem* item = rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    folderRows_.clear();

    const std::vector<StorageBucket> visible = visibleBuckets();
    if (mapCard_) mapCard_->setVisible(visible);
    std::int64_t largestSize = 1;
    for (const StorageBucket& bucket : visible) largestSize = std::max(largestSize, bucket.size);
    const std::size_t count = std::min(visible.size(), std::size_t(showAllFolders_ ? 200 : 10));

    if (count == 0) {
        rows->addWidget(new NoFoldersState);
        return;
    }

    for (std::size_t i = 0; i < count; ++i) {
        const StorageBucket bucket = visible[i];
        const double share = snapshot.totalSize < 1 ? 0 : double(bucket.size) / double(snapshot.totalSize);
        const QString subtitle = AppLocalization::format("storage.filesCount", {wholeNumber(bucket.fileCount)}) + QStringLiteral(" \u00B7 ") +
                                 isolatedText(shareText(share));
        auto* row = new RankedRow(fileIcon(bucket.path), {}, PathText::display(bucket.name()), subtitle, bytes(bucket.size),
                                  double(bucket.size) / double(largestSize), tint_, selection_->isSelected(bucket.path));
        row->setProperty("bucketID", QString::fromStdString(bucket.path));
        row->setToolTip(plainToolTip(PathText::display(bucket.path)));
        row->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(row, &QWidget::customContextMenuRequested, this, [this, row, bucket](const QPoint& at) {
            BucketActions::showMenu(row, row->mapToGlobal(at), bucket, [this](const StorageBucket& b) { focus(b); });
        });
        connect(row, &RankedRow::clicked, this, [this, id = bucket.path] {
            pendingSelectID_ = id;
            pendingSelect_.start(QApplication::styleHints()->mouseDoubleClickInterval());
        });
        connect(row, &RankedRow::doubleClicked, this, [this, bucket] {
            pendingSelect_.stop();
            pendingSelectID_.reset();
            focus(bucket);
        });
        rows->addWidget(row);
        folderRows_.push_back(row);
    }
    if (visible.size() > 10) {
        auto* toggle = new StyledButton(AppLocalization::string(showAllFolders_ ? textKey("storage.showLess") : textKey("storage.showAll")),
                                        showAllFolders_ ? "chevron.up" : "chevron.down", SoftButtonStyle{tint_});
        toggle->setObjectName("showAllFolders");
        toggle->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        auto* holder = new QWidget;
        auto* layout = new QHBoxLayout(holder);
        layout->setContentsMargins(0, 8, 0, 8);
        layout->addWidget(toggle);
        connect(toggle, &QAbstractButton::clicked, this, [this] { setShowAllFolders(!showAllFolders_); });
        rows->addWidget(holder);
    }
}

QWidget* StorageView::makeLargestFiles(const ScanSnapshot& snapshot) {
    auto* section = new QWidget;
    auto* stack = new QVBoxLayout(section);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(12);
    auto* header = cardTitleRow("doc.fill", AppLocalization::string("storage.largest"), tint_);
    header->setContentsMargins(4, 0, 4, 0);
    header->addStretch(1);
    stack->addLayout(header);
    auto* list = new RankedList(AppLocalization::string("storage.largest"), AppLocalization::string("storage.sizeOnDisk"));
    const std::size_t count = std::min<std::size_t>(snapshot.largestFiles.size(), 20);
    std::int64_t largestSize = 1;
    for (std::size_t i = 0; i < count; ++i) largestSize = std::max(largestSize, snapshot.largestFiles[i].size);
    for (std::size_t i = 0; i < count; ++i) {
        const ScannedFile& file = snapshot.largestFiles[i];
        auto* row = new RankedRow(fileIcon(file.path), {}, PathText::display(file.path.filename()), PathText::display(file.path.parent_path()),
                                  bytes(file.size), double(file.size) / double(largestSize), tint_, false);
        row->setToolTip(plainToolTip(PathText::display(file.path)));
        row->setContextMenuPolicy(Qt::CustomContextMenu);
        const std::filesystem::path path = file.path;
        connect(row, &QWidget::customContextMenuRequested, this, [row, path](const QPoint& at) {
            BucketActions::showFileMenu(row, row->mapToGlobal(at), path);
        });
        connect(row, &RankedRow::doubleClicked, this, [path] { FileActions::reveal(path); });
        list->rowsLayout()->addWidget(row);
    }
    stack->addWidget(list);
    return section;
}

QString StorageView::filter() const { return folderFilter_; }

void StorageView::setFilter(const QString& text) {
    if (filterEdit_) filterEdit_->setText(text);  // refreshes through textChanged
    else folderFilter_ = text;
}

void StorageView::setSort(FolderSort sort) {
    folderSort_ = sort;
    refreshFolders();
}

void StorageView::setShowAllFolders(bool showAll) {
    showAllFolders_ = showAll;
    refreshFolders();
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
