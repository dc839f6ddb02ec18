#include "Views/Storage/TreemapView.h"

#include "Models/DisplayText.h"
#include "Models/IsolatedText.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Foundation/SaturatingSum.h"
#include "Views/Storage/BucketOrder.h"
#include "Views/Storage/BucketSelection.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/Storage/TreemapLayout.h"
#include "Views/Storage/TreemapTileFace.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

const QString separator = QStringLiteral(" \u00B7 ");

QRectF faceOf(const QRectF& cell) {
    return QRectF(cell.left() + 3, cell.top() + 3, std::max(cell.width() - 6, 0.0), std::max(cell.height() - 6, 0.0));
}

// One tile for assistive technology: a button labelled with the tile's name and size. It stands
// for whichever tile has its identifier, and is gone when none has.
class TreemapTileAccessible : public QAccessibleInterface {
public:
    TreemapTileAccessible(TreemapView* view, std::string id) : view_(view), id_(std::move(id)) {}

    bool isValid() const override { return cell() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        const TreemapView::Cell* found = cell();
        return found && t == QAccessible::Name ? view_->accessibleLabel(found->first) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const TreemapView::Cell* found = cell();
        if (!found) return {};
        const QRect face = faceOf(found->second).toAlignedRect();
        return QRect(view_->mapToGlobal(face.topLeft()), face.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invalid = !isValid();
        return state;
    }
    const std::string& id() const { return id_; }

private:
    const TreemapView::Cell* cell() const {
        if (!view_) return nullptr;
        for (const TreemapView::Cell& c : view_->cells())
            if (c.first.path == id_) return &c;
        return nullptr;
    }

    QPointer<TreemapView> view_;
    std::string id_;
};

// The map as a group of tile buttons.
class TreemapAccessible : public QAccessibleWidget {
public:
    explicit TreemapAccessible(TreemapView* view) : QAccessibleWidget(view, QAccessible::Grouping) {}
    ~TreemapAccessible() override {
        for (const auto& [path, id] : tiles_) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return int(view()->cells().size()); }
    QAccessibleInterface* child(int index) const override {
        const auto& cells = view()->cells();
        if (index < 0 || std::size_t(index) >= cells.size()) return nullptr;
        const std::string& path = cells[std::size_t(index)].first.path;
        auto found = tiles_.find(path);
        if (found == tiles_.end())
            found = tiles_.emplace(path, QAccessible::registerAccessibleInterface(new TreemapTileAccessible(view(), path))).first;
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* tile = dynamic_cast<const TreemapTileAccessible*>(child);
        if (!tile) return -1;
        const auto& cells = view()->cells();
        for (std::size_t i = 0; i < cells.size(); ++i)
            if (cells[i].first.path == tile->id()) return int(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const auto tile = view()->tileAt(view()->mapFromGlobal(QPoint(x, y)));
        if (!tile) return nullptr;
        const auto& cells = view()->cells();
        for (std::size_t i = 0; i < cells.size(); ++i)
            if (cells[i].first.path == tile->path) return child(int(i));
        return nullptr;
    }

private:
    TreemapView* view() const { return static_cast<TreemapView*>(widget()); }
    mutable std::map<std::string, QAccessible::Id> tiles_;
};

QAccessibleInterface* accessibleTreemap(const QString& className, QObject* object) {
    if (className != QLatin1String("TreemapView")) return nullptr;
    return new TreemapAccessible(static_cast<TreemapView*>(object));
}

}  // namespace

std::vector<StorageBucket> TreemapView::tiles(const std::vector<const StorageBucket*>& items) {
    std::vector<const StorageBucket*> positive;
    std::copy_if(items.begin(), items.end(), std::back_inserter(positive), [](const StorageBucket* bucket) { return bucket->size >= 1; });
    const bool merges = positive.size() > maximumTiles;
    const std::vector<const StorageBucket*> shown = BucketOrder::top(positive, merges ? maximumTiles - 1 : maximumTiles);
    std::vector<StorageBucket> result;
    for (const StorageBucket* bucket : shown) result.push_back(*bucket);
    if (!merges) return result;

    // The rest, however many, become one gray tile.
    std::vector<const StorageBucket*> shownSorted = shown;
    std::sort(shownSorted.begin(), shownSorted.end());
    StorageBucket other;
    other.path = otherID;
    for (const StorageBucket* bucket : positive) {
        if (std::binary_search(shownSorted.begin(), shownSorted.end(), bucket)) continue;
        other.size = saturatingSum(other.size, bucket->size);
        other.fileCount += bucket->fileCount;
    }
    result.push_back(std::move(other));
    return result;
}

TreemapView::TreemapView(BucketSelection* selection, BucketActions::Focus onFocus, QWidget* parent)
    : QWidget(parent), selection_(selection), onFocus_(std::move(onFocus)), pendingClick_([this](const std::string& id) {
          if (selection_) selection_->setID(id);
      }) {
    static const bool accessible = (QAccessible::installFactory(accessibleTreemap), true);
    (void)accessible;
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    if (selection_) {
        // Snapshot before the change reaches the screen: the selection is already new when this runs,
        // so the opacities on screen are still those last painted.
        connect(selection_, &BucketSelection::changed, this, [this] { fadeFromScreen(selectionFade_); });
    }
}

void TreemapView::setItems(const std::vector<const StorageBucket*>& items, std::int64_t totalSize, StorageRankPalette palette) {
    tiles_ = tiles(items);
    cells_.reset();
    if (!tiles_.empty() && tiles_.back().path == otherID) {
        const auto positive = std::count_if(items.begin(), items.end(), [](const StorageBucket* bucket) { return bucket->size >= 1; });
        otherName_ = AppLocalization::format("storage.map.other", {qlonglong(positive - qlonglong(maximumTiles - 1))});
        otherLocation_ = std::filesystem::path(tiles_.front().path).parent_path();
    }
    totalSize_ = totalSize;
    palette_ = std::move(palette);
    // A hovered tile that is gone takes its strip with it, at once.
    if (hoveredID_ && std::none_of(tiles_.begin(), tiles_.end(), [&](const auto& t) { return t.path == *hoveredID_; }))
        hoveredID_.reset();
    leavingStrip_.reset();
    fadeFrom_.clear();
    activeFade_ = nullptr;
    update();
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
}

double TreemapView::shareOf(const StorageBucket& bucket) const {
    return totalSize_ >= 1 ? double(bucket.size) / double(totalSize_) : 0;
}

QColor TreemapView::colorOf(const StorageBucket& bucket) const {
    return bucket.path == otherID ? DS::gray.resolved() : palette_.color(bucket.path).resolved();
}

QString TreemapView::nameOf(const StorageBucket& tile) const {
    return tile.path == otherID ? otherName_ : DisplayText::name(tile.name());
}

QString TreemapView::locationOf(const StorageBucket& tile) const {
    return DisplayText::path(tile.path == otherID ? otherLocation_ : tile.path);
}

QString TreemapView::accessibleLabel(const StorageBucket& tile) const {
    return nameOf(tile) + QStringLiteral(", ") + ByteFormatting::string(std::max<std::int64_t>(tile.size, 0));
}

double TreemapView::targetOpacity(const std::string& id) const {
    // The hovered tile, or with nothing hovered the selected one, stays opaque; the others dim.
    const std::optional<std::string>* focusID = &hoveredID_;
    if (!hoveredID_ && selection_) focusID = &selection_->id();
    return !*focusID || **focusID == id ? 1.0 : 0.4;
}

const std::vector<TreemapView::Cell>& TreemapView::cells() const {
    if (cells_) return *cells_;
    cells_.emplace();
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    for (auto& entry : TreemapLayout::rectangles(tiles_, QRectF(0, 0, width(), height()))) {
        QRectF r = entry.rect;
        if (rtl) r.moveLeft(width() - r.right());
        cells_->emplace_back(std::move(entry.item), r);
    }
    return *cells_;
}

void TreemapView::resizeEvent(QResizeEvent* event) {
    cells_.reset();
    QWidget::resizeEvent(event);
}

void TreemapView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LayoutDirectionChange) cells_.reset();
    QWidget::changeEvent(event);
}

std::optional<StorageBucket> TreemapView::tileAt(QPointF point) const {
    for (const auto& [bucket, cell] : cells()) {
        const QRectF face = faceOf(cell);
        if (face.width() > 0 && face.height() > 0 && face.contains(point)) return bucket;
    }
    return std::nullopt;
}

std::optional<TreemapView::Strip> TreemapView::strip() const {
    if (!hoveredID_) return std::nullopt;
    auto found = std::find_if(tiles_.begin(), tiles_.end(), [&](const auto& t) { return t.path == *hoveredID_; });
    if (found == tiles_.end()) return std::nullopt;
    const StorageBucket& tile = *found;
    Strip s;
    s.dot = colorOf(tile);
    s.name = nameOf(tile);
    s.details = isolatedText(ByteFormatting::string(tile.size)) + separator + isolatedText(Fmt::finePercent(shareOf(tile))) + separator +
                AppLocalization::format("storage.filesCount", {AppLocalization::activeLocale().toString(qlonglong(tile.fileCount))});
    if (tile.path != otherID && BucketActions::canFocus(tile)) s.hint = AppLocalization::string("storage.map.doubleClick");
    return s;
}

QRectF TreemapView::hoverStripRect() const {
    const auto s = strip();
    return s ? stripRect(*s) : QRectF();
}

QRectF TreemapView::stripRect(const Strip& s) const {
    const QFontMetricsF bold(Fonts::system(12, QFont::DemiBold)), regular(Fonts::system(12));
    qreal content = 8 + 10 + bold.horizontalAdvance(s.name) + 10 + regular.horizontalAdvance(s.details);
    if (!s.hint.isEmpty()) content += 10 + regular.horizontalAdvance(s.hint);
    const qreal w = std::min(content + 28, std::max(width() - 24.0, 0.0));
    const qreal h = std::ceil(bold.height()) + 16;
    return QRectF((width() - w) / 2, height() - 12 - h, w, h);
}

std::optional<TreemapView::Strip> TreemapView::shownStrip() const {
    if (auto s = strip()) return s;
    return stripPresence() > 0 ? leavingStrip_ : std::nullopt;
}

QRectF TreemapView::shownStripRect() const {
    const auto s = shownStrip();
    if (!s) return {};
    // Comes up from below the bottom edge as it fades in, and goes back down as it fades out.
    const QRectF rest = stripRect(*s);
    return rest.translated(0, (1 - stripPresence()) * (height() - rest.top()));
}

double TreemapView::stripPresence() const {
    const double target = strip() ? 1 : 0;
    return hoverFade_.isRunning() ? Transition::mix(stripFrom_, target, hoverFade_.progress()) : target;
}

QString TreemapView::hoverStripText() const {
    const auto s = strip();
    return s ? QStringList{s->name, s->details, s->hint}.join('|') : QString();
}

void TreemapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& [bucket, cell] : cells()) {
        const QRectF face = faceOf(cell);
        const double opacity = shownOpacity(bucket.path);
        lastPainted_[bucket.path] = opacity;
        painter.setOpacity(opacity);
        TreemapTileFace{nameOf(bucket), bucket.size, colorOf(bucket), selection_ && selection_->isSelected(bucket.path), shareOf(bucket), cell.size()}
            .paint(painter, face, layoutDirection());
    }
    painter.setOpacity(1);

    const double presence = stripPresence();
    if (const auto s = shownStrip(); s && presence > 0) paintStrip(painter, *s, shownStripRect(), presence);
}

void TreemapView::paintStrip(QPainter& painter, const Strip& s, QRectF box, double presence) const {
    painter.setOpacity(presence);
    const QPainterPath capsule = ContinuousShape::capsule(box);
    painter.fillPath(capsule, DS::card.resolved(0.94));
    painter.setPen(QPen(DS::hairline.resolved(), 1));
    painter.drawPath(capsule);

    const bool rtl = layoutDirection() == Qt::RightToLeft;
    const QFont bold = Fonts::system(12, QFont::DemiBold), regular = Fonts::system(12);
    qreal room = box.width() - 28;
    qreal x = rtl ? box.right() - 14 : box.left() + 14;
    const qreal midY = box.center().y();
    auto advance = [&](qreal w) { x += rtl ? -w : w; room -= w; };
    auto drawText = [&](const QString& text, const QFont& font, const QColor& color) {
        if (room <= 0) return;
        const QFontMetricsF metrics(font);
        const QString shown = metrics.elidedText(text, Qt::ElideRight, room);
        const qreal w = metrics.horizontalAdvance(shown);
        painter.setFont(font);
        painter.setPen(color);
        painter.setLayoutDirection(shown.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
        painter.drawText(QRectF(rtl ? x - w : x, midY - metrics.height() / 2, w + 1, metrics.height()),
                         Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        advance(w + 10);
    };
    painter.setPen(Qt::NoPen);
    painter.setBrush(s.dot);
    painter.drawEllipse(QRectF(rtl ? x - 8 : x, midY - 4, 8, 8));
    advance(18);
    drawText(s.name, bold, DynamicColor::primary().resolved());
    drawText(s.details, regular, DynamicColor::secondary().resolved());
    if (!s.hint.isEmpty()) drawText(s.hint, regular, DynamicColor::tertiary().resolved());
    painter.setOpacity(1);
}

double TreemapView::shownOpacity(const std::string& id) const {
    const double target = targetOpacity(id);
    if (!activeFade_) return target;
    auto from = fadeFrom_.find(id);
    return from == fadeFrom_.end() ? target : Transition::mix(from->second, target, activeFade_->progress());
}

void TreemapView::fadeFromScreen(Transition& transition) {
    fadeFrom_ = lastPainted_;
    activeFade_ = &transition;
    transition.start();
    update();
}

void TreemapView::setHovered(std::optional<std::string> id) {
    if (id == hoveredID_) return;
    stripFrom_ = stripPresence();
    if (auto shown = strip()) leavingStrip_ = std::move(shown);  // what the strip says as it goes
    hoveredID_ = std::move(id);
    fadeFromScreen(hoverFade_);
}

void TreemapView::mouseMoveEvent(QMouseEvent* event) {
    const auto tile = tileAt(event->position());
    setHovered(tile ? std::optional(tile->path) : std::nullopt);
}

void TreemapView::leaveEvent(QEvent*) { setHovered(std::nullopt); }

void TreemapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const auto tile = tileAt(event->position());
    if (!tile || tile->path == otherID) return;
    pendingClick_.clicked(tile->path);
}

void TreemapView::mouseDoubleClickEvent(QMouseEvent* event) {
    pendingClick_.doubleClicked();
    if (event->button() != Qt::LeftButton) return;
    const auto tile = tileAt(event->position());
    if (tile && tile->path != otherID && onFocus_) onFocus_(*tile);
}

void TreemapView::contextMenuEvent(QContextMenuEvent* event) {
    const auto tile = tileAt(event->pos());
    if (!tile || tile->path == otherID) return;
    BucketActions::showMenu(this, event->globalPos(), *tile, onFocus_);
}

bool TreemapView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const auto tile = tileAt(help->pos()))
            QToolTip::showText(help->globalPos(), plainToolTip(locationOf(*tile)), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
