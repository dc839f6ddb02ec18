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

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
const QString separator = QStringLiteral(" \u00B7 ");
}

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
    }
    totalSize_ = totalSize;
    palette_ = std::move(palette);
    if (hoveredID_ && std::none_of(tiles_.begin(), tiles_.end(), [&](const auto& t) { return t.path == *hoveredID_; }))
        hoveredID_.reset();
    fadeFrom_.clear();
    activeFade_ = nullptr;
    update();
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
        const QRectF face(cell.left() + 3, cell.top() + 3, std::max(cell.width() - 6, 0.0), std::max(cell.height() - 6, 0.0));
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
    if (!s) return {};
    const QFontMetricsF bold(Fonts::system(12, QFont::DemiBold)), regular(Fonts::system(12));
    qreal content = 8 + 10 + bold.horizontalAdvance(s->name) + 10 + regular.horizontalAdvance(s->details);
    if (!s->hint.isEmpty()) content += 10 + regular.horizontalAdvance(s->hint);
    const qreal w = std::min(content + 28, std::max(width() - 24.0, 0.0));
    const qreal h = std::ceil(bold.height()) + 16;
    return QRectF((width() - w) / 2, height() - 12 - h, w, h);
}

QString TreemapView::hoverStripText() const {
    const auto s = strip();
    return s ? QStringList{s->name, s->details, s->hint}.join('|') : QString();
}

void TreemapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& [bucket, cell] : cells()) {
        const QRectF face(cell.left() + 3, cell.top() + 3, std::max(cell.width() - 6, 0.0), std::max(cell.height() - 6, 0.0));
        const double opacity = shownOpacity(bucket.path);
        lastPainted_[bucket.path] = opacity;
        painter.setOpacity(opacity);
        TreemapTileFace{nameOf(bucket), bucket.size, colorOf(bucket), selection_ && selection_->isSelected(bucket.path), shareOf(bucket), cell.size()}
            .paint(painter, face, layoutDirection());
    }
    painter.setOpacity(1);

    const auto s = strip();
    if (!s) return;
    const QRectF box = hoverStripRect();
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
    painter.setBrush(s->dot);
    painter.drawEllipse(QRectF(rtl ? x - 8 : x, midY - 4, 8, 8));
    advance(18);
    drawText(s->name, bold, DynamicColor::primary().resolved());
    drawText(s->details, regular, DynamicColor::secondary().resolved());
    if (!s->hint.isEmpty()) drawText(s->hint, regular, DynamicColor::tertiary().resolved());
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
            QToolTip::showText(help->globalPos(), plainToolTip(DisplayText::path(tile->path)), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
