#include "Views/DesignSystem/DonutChart.h"

#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/Transition.h"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A share that cannot be drawn (negative, not a number) counts as nothing.
double drawable(double value) { return std::isfinite(value) && value > 0 ? value : 0; }

}  // namespace

DonutChart::DonutChart(const std::vector<DonutSegment>& segments, const QString& title, const QString& subtitle, qreal lineWidth, QWidget* parent)
    : QWidget(parent),
      segments_(segments),
      lineWidth_(lineWidth),
      transition_(new Transition(this, 400, QEasingCurve::OutCubic)),
      title_(new TextLabel(title, Fonts::system(20, QFont::Bold))),
      subtitle_(new TextLabel(subtitle, Fonts::system(12), DynamicColor::secondary())) {
    title_->setMinimumScaleFactor(0.6);
    title_->setAlignment(Qt::AlignHCenter);
    subtitle_->setAlignment(Qt::AlignHCenter);
    auto* stack = new QVBoxLayout(this);
    // The ring's inset is the only margin: the style's own layout margin would cut "Used" in a small ring.
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(1);
    stack->addStretch(1);
    stack->addWidget(title_);
    stack->addWidget(subtitle_);
    stack->addStretch(1);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

std::vector<DonutChart::Arc> DonutChart::arcs(const std::vector<DonutSegment>& segments) {
    double total = 0;
    for (const DonutSegment& segment : segments) total += drawable(segment.value);
    total = std::max(total, std::numeric_limits<double>::denorm_min());
    std::vector<Arc> result;
    result.reserve(segments.size());
    double before = 0;
    for (const DonutSegment& segment : segments) {
        const double start = before / total;
        result.push_back({start, std::max(start, start + drawable(segment.value) / total - gap)});
        before += drawable(segment.value);
    }
    return result;
}

void DonutChart::setSegments(const std::vector<DonutSegment>& segments) {
    const bool valuesChanged = !std::equal(segments.begin(), segments.end(), segments_.begin(), segments_.end(),
                                           [](const DonutSegment& a, const DonutSegment& b) { return a.value == b.value; });
    // Start from what is on screen, also when a transition is still running.
    std::vector<Arc> shown = arcs(segments_);
    const qreal progress = transition_->progress();
    for (size_t i = 0; i < shown.size() && i < startArcs_.size() && progress < 1; ++i)
        shown[i] = {Transition::mix(startArcs_[i].start, shown[i].start, progress), Transition::mix(startArcs_[i].end, shown[i].end, progress)};
    const bool colorsChanged = !std::equal(segments.begin(), segments.end(), segments_.begin(), segments_.end(),
                                           [](const DonutSegment& a, const DonutSegment& b) { return a.color == b.color; });
    segments_ = segments;
    if (valuesChanged) {
        startArcs_ = std::move(shown);
        transition_->start();
    }
    // The same shares again (a sample that moved nothing here) leave the ring as it is.
    if (valuesChanged || colorsChanged) update();
}

void DonutChart::setTitle(const QString& title) { title_->setText(title); }
void DonutChart::setSubtitle(const QString& subtitle) { subtitle_->setText(subtitle); }

QSize DonutChart::sizeHint() const { return {160, 160}; }

QRectF DonutChart::ringSquare() const {
    const qreal side = std::min(width(), height());
    return {(width() - side) / 2, (height() - side) / 2, side, side};
}

void DonutChart::resizeEvent(QResizeEvent* event) {
    // The centre texts stay inside the ring.
    const QRectF square = ringSquare();
    const int inset = int(std::ceil(lineWidth_ + 4));
    setContentsMargins(int(square.left()) + inset, int(square.top()) + inset, width() - int(square.right()) + inset,
                       height() - int(square.bottom()) + inset);
    QWidget::resizeEvent(event);
}

void DonutChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF ring = ringSquare().adjusted(lineWidth_ / 2, lineWidth_ / 2, -lineWidth_ / 2, -lineWidth_ / 2);
    if (ring.width() <= 0) return;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(DS::track.resolved(), lineWidth_, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawEllipse(ring);

    const std::vector<Arc> target = arcs(segments_);
    const qreal progress = transition_->progress();
    for (size_t i = 0; i < target.size(); ++i) {
        Arc arc = target[i];
        if (progress < 1) {
            const Arc from = i < startArcs_.size() ? startArcs_[i] : Arc{arc.start, arc.start};
            arc = {Transition::mix(from.start, arc.start, progress), Transition::mix(from.end, arc.end, progress)};
        }
        if (arc.end <= arc.start) continue;
        // Degrees counter-clockwise from three o'clock, as the painter counts them.
        QPainterPath path;
        path.arcMoveTo(ring, 90 - arc.start * 360);
        path.arcTo(ring, 90 - arc.start * 360, -(arc.end - arc.start) * 360);
        painter.strokePath(path, QPen(segments_[i].color.resolved(), lineWidth_, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    }
}
