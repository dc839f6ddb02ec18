#include "Views/Storage/StorageRibbon.h"

#include "Models/DisplayText.h"
#include "Models/IsolatedText.h"
#include "Models/ByteFormatting.h"
#include "Foundation/SaturatingSum.h"
#include "Views/Storage/BucketSelection.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/Common/PlainToolTip.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double barHeight = 10;
constexpr double legendTop = barHeight + 10;
constexpr std::size_t legendCount = 5;
}  // namespace

std::vector<double> StorageRibbon::segmentWidths(const std::vector<std::int64_t>& sizes, double denominator, double barWidth) {
    std::vector<double> widths;
    const double room = barWidth - gap * double(sizes.size());
    for (std::int64_t size : sizes) widths.push_back(std::max(room * double(size) / denominator, minimumSegment));
    return widths;
}

StorageRibbon::StorageRibbon(BucketSelection* selection, QWidget* parent) : QWidget(parent), selection_(selection) {
    setMouseTracking(true);
    if (selection_) {
        currentSelection_ = selection_->id();
        connect(selection_, &BucketSelection::changed, this, [this] {
            previousSelection_ = currentSelection_;
            currentSelection_ = selection_->id();
            fade_.start();
        });
    }
}

void StorageRibbon::setBuckets(const std::vector<StorageBucket>& buckets, std::int64_t totalSize, StorageRankPalette palette) {
    const std::size_t count = std::min(buckets.size(), StorageRankPalette::tints().size());
    restSize_ = 0;
    for (std::size_t i = count; i < buckets.size(); ++i) restSize_ = saturatingSum(restSize_, buckets[i].size);
    shown_.assign(buckets.begin(), buckets.begin() + static_cast<std::ptrdiff_t>(count));
    totalSize_ = totalSize;
    palette_ = std::move(palette);
    updateGeometry();
    update();
}

double StorageRibbon::opacityFor(const std::optional<std::string>& selected, const std::string& id) const {
    return !selected || *selected == id ? 1.0 : 0.35;
}

std::vector<StorageRibbon::Segment> StorageRibbon::segments() const {
    std::vector<std::int64_t> sizes;
    for (const auto& bucket : shown_) sizes.push_back(bucket.size);
    const std::vector<double> widths = segmentWidths(sizes, denominator(), width());
    std::vector<Segment> result;
    double x = 0;  // the bar runs left to right in every language
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const double opacity = Transition::mix(opacityFor(previousSelection_, shown_[i].path),
                                               opacityFor(currentSelection_, shown_[i].path), fade_.progress());
        result.push_back({shown_[i], QRectF(x, 0, widths[i], barHeight), opacity});
        x += widths[i] + gap;
    }
    if (restSize_ >= 1 && x < width()) result.push_back({StorageBucket{}, QRectF(x, 0, width() - x, barHeight), 1});
    return result;
}

QString StorageRibbon::legendText(const StorageBucket& bucket) const {
    return DisplayText::name(bucket.name());
}

std::vector<std::pair<StorageBucket, QRectF>> StorageRibbon::legendItems() const {
    std::vector<std::pair<StorageBucket, QRectF>> items;
    const QFontMetricsF regular(Fonts::system(12)), bold(Fonts::system(12, QFont::DemiBold));
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    double x = 0;
    const double lineHeight = std::ceil(regular.height());
    for (std::size_t i = 0; i < shown_.size() && i < legendCount; ++i) {
        const bool selected = currentSelection_ && *currentSelection_ == shown_[i].path;
        const QFontMetricsF& metrics = selected ? bold : regular;
        const double w = 7 + 6 + metrics.horizontalAdvance(legendText(shown_[i])) + 6 +
                         regular.horizontalAdvance(Fmt::percent(double(shown_[i].size) / denominator()));
        if (x + w > width() && i > 0) break;
        const double left = rtl ? width() - x - w : x;
        items.emplace_back(shown_[i], QRectF(left, legendTop, std::min(w, double(width())), lineHeight));
        x += w + 14;
    }
    return items;
}

QSize StorageRibbon::sizeHint() const {
    return QSize(400, int(legendTop + std::ceil(QFontMetricsF(Fonts::system(12)).height())));
}

void StorageRibbon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Segment& segment : segments()) {
        const QColor color = segment.bucket.path.empty() ? DS::gray.resolved(0.5) : palette_.color(segment.bucket.path).resolved(segment.opacity);
        painter.fillPath(ContinuousShape::capsule(segment.rect), color);
    }
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    for (const auto& [bucket, rect] : legendItems()) {
        const bool selected = currentSelection_ && *currentSelection_ == bucket.path;
        const QFont nameFont = Fonts::system(12, selected ? QFont::DemiBold : QFont::Normal);
        const QFont shareFont = Fonts::system(12);
        const QString share = Fmt::percent(double(bucket.size) / denominator());
        const double shareWidth = QFontMetricsF(shareFont).horizontalAdvance(share);
        const double nameWidth = std::max(rect.width() - 7 - 6 - 6 - shareWidth, 0.0);
        const QString name = QFontMetricsF(nameFont).elidedText(legendText(bucket), Qt::ElideRight, nameWidth);
        double x = rtl ? rect.right() : rect.left();
        auto place = [&](double w) {
            const QRectF box(rtl ? x - w : x, rect.top(), w, rect.height());
            x += rtl ? -(w + 6) : (w + 6);
            return box;
        };
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette_.color(bucket.path).resolved());
        const QRectF dot = place(7);
        painter.drawEllipse(QRectF(dot.left(), dot.center().y() - 3.5, 7, 7));
        painter.setFont(nameFont);
        painter.setPen(DynamicColor::primary().resolved());
        painter.setLayoutDirection(name.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);  // a name reads in its own direction
        painter.drawText(place(QFontMetricsF(nameFont).horizontalAdvance(name) + 1), Qt::AlignVCenter | Qt::AlignHCenter | Qt::TextSingleLine, name);
        painter.setFont(shareFont);
        painter.setPen(DynamicColor::secondary().resolved());
        painter.setLayoutDirection(layoutDirection());
        painter.drawText(place(shareWidth + 1), Qt::AlignVCenter | Qt::AlignHCenter | Qt::TextSingleLine, share);
    }
}

void StorageRibbon::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !selection_) return;
    for (const Segment& segment : segments())
        if (!segment.bucket.path.empty() && segment.rect.contains(event->position())) return selection_->setID(segment.bucket.path);
    for (const auto& [bucket, rect] : legendItems())
        if (rect.contains(event->position())) return selection_->setID(bucket.path);
}

bool StorageRibbon::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        for (const Segment& segment : segments())
            if (!segment.bucket.path.empty() && segment.rect.contains(help->pos())) {
                QToolTip::showText(help->globalPos(),
                                   plainToolTip(legendText(segment.bucket) + QStringLiteral(" \u00B7 ") +
                                                isolatedText(ByteFormatting::string(segment.bucket.size))),
                                   this);
                return true;
            }
        QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
