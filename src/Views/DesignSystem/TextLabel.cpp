#include "Views/DesignSystem/TextLabel.h"

#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/ReadableText.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

struct TextLabel::Wrapped {
    QStringList lines;
    qreal lineHeight = 0;
    bool cut = false;  // the last allowed line elided the rest
};

namespace {

QTextOption lineOption(Qt::LayoutDirection direction) {
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setTextDirection(direction);
    option.setWrapMode(QTextOption::NoWrap);
    return option;
}

Qt::LayoutDirection directionOf(const QString& text) { return text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight; }

// One line shaped as it will be drawn: the fallback fonts that Arabic text brings along are
// taller than the interface font, and the line box must make room for them.
struct ShapedLine {
    qreal width = 0, ascent = 0, descent = 0;
};

ShapedLine shape(const QString& text, const QFont& font) {
    const QFontMetricsF metrics(font);
    ShapedLine result{0, metrics.ascent(), metrics.descent()};
    if (text.isEmpty()) return result;
    QTextLayout layout(text, font);
    layout.setTextOption(lineOption(directionOf(text)));
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid()) return result;
    return {line.naturalTextWidth(), std::max(result.ascent, line.ascent()), std::max(result.descent, line.descent())};
}

// Draws one line with its baseline's leading end at `origin`. A line of a wrapped paragraph takes the
// paragraph's direction, not the one its own first word would give it.
void drawLine(QPainter& painter, const QPointF& origin, const QString& text, const QFont& font, Qt::LayoutDirection direction) {
    QTextLayout layout(text, font);
    layout.setTextOption(lineOption(direction));
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (line.isValid()) layout.draw(&painter, QPointF(origin.x(), origin.y() - line.ascent()));
}

}  // namespace

TextLabel::TextLabel(const QString& text, QWidget* parent) : TextLabel(text, Fonts::system(13), DynamicColor::primary(), parent) {}

TextLabel::TextLabel(const QString& text, const QFont& font, const DynamicColor& color, QWidget* parent)
    : QWidget(parent), text_(text), color_(color) {
    setFont(font);
    setAccessibleName(text);
    refreshSizePolicy();
}

void TextLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void TextLabel::setColor(const DynamicColor& color, qreal opacity) {
    color_ = color;
    opacity_ = opacity;
    update();
}

void TextLabel::setElideMode(Qt::TextElideMode mode) {
    elideMode_ = mode;
    update();
}

void TextLabel::setMinimumScaleFactor(qreal factor) {
    minimumScale_ = std::clamp(factor, qreal(0.05), qreal(1));
    update();
}

void TextLabel::setWordWrap(bool wraps) {
    wraps_ = wraps;
    refreshSizePolicy();
    updateGeometry();
    update();
}

void TextLabel::setMaximumLineCount(int lines) {
    maximumLines_ = std::max(0, lines);
    updateGeometry();
    update();
}

void TextLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void TextLabel::refreshSizePolicy() {
    QSizePolicy policy(QSizePolicy::Preferred, wraps_ ? QSizePolicy::Preferred : QSizePolicy::Fixed);
    policy.setHeightForWidth(wraps_);
    setSizePolicy(policy);
}

Qt::LayoutDirection TextLabel::contentDirection() const { return text_.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight; }

TextLabel::Fit TextLabel::fit(qreal width) const {
    const qreal natural = shape(text_, font()).width;
    Fit result{1, text_};
    if (natural <= width || natural <= 0) return result;
    result.scale = std::max(minimumScale_, width / natural);
    if (natural * result.scale > width + 0.01) result.text = QFontMetricsF(font()).elidedText(text_, elideMode_, width / result.scale);
    return result;
}

TextLabel::Wrapped TextLabel::wrap(qreal width) const {
    Wrapped result;
    const ShapedLine whole = shape(text_, font());
    result.lineHeight = whole.ascent + whole.descent;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(contentDirection());
    QTextLayout layout(text_, font());
    layout.setTextOption(option);
    layout.beginLayout();
    QString openIsolates;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, qreal(1)));
        if (maximumLines_ > 0 && result.lines.size() == maximumLines_ - 1) {
            // The last allowed line takes the rest of the text and elides it.
            const QString rest = text_.mid(line.textStart()).simplified();
            const QString shown = QFontMetricsF(font()).elidedText(rest, elideMode_, width);
            result.lines << openIsolates + shown;
            result.cut = shown != rest;
            break;
        }
        // An isolated run (a path, a name) that goes on past the line's end is opened again on the
        // next line, so that its rest keeps its own direction there too.
        const QString part = text_.mid(line.textStart(), line.textLength());
        result.lines << openIsolates + part.trimmed();
        for (QChar c : part) {
            if (c.unicode() >= 0x2066 && c.unicode() <= 0x2068) openIsolates += c;
            else if (c.unicode() == 0x2069 && !openIsolates.isEmpty()) openIsolates.chop(1);
        }
    }
    layout.endLayout();
    if (result.lines.isEmpty()) result.lines << QString();
    return result;
}

bool TextLabel::isCut() const {
    const qreal width = contentsRect().width();
    return wraps_ ? wrap(width).cut : fit(width).text != text_;
}

qreal TextLabel::baselineAt(int height) const {
    const ShapedLine whole = shape(text_, font());
    const QMargins m = contentsMargins();
    return m.top() + (height - m.top() - m.bottom() - whole.ascent - whole.descent) / 2 + whole.ascent;
}

int TextLabel::heightForWidth(int width) const {
    if (!wraps_) return QWidget::heightForWidth(width);
    const Wrapped wrapped = wrap(width - contentsMargins().left() - contentsMargins().right());
    return int(std::ceil(wrapped.lineHeight * wrapped.lines.size())) + contentsMargins().top() + contentsMargins().bottom();
}

QSize TextLabel::sizeHint() const {
    const ShapedLine line = shape(text_, font());
    const QMargins m = contentsMargins();
    qreal width = std::ceil(line.width);
    if (wraps_) width = std::min(width, std::ceil(QFontMetricsF(font()).averageCharWidth() * 60));
    const int height = wraps_ ? heightForWidth(int(width) + m.left() + m.right()) - m.top() - m.bottom() : int(std::ceil(line.ascent + line.descent));
    return {int(width) + m.left() + m.right(), height + m.top() + m.bottom()};
}

QSize TextLabel::minimumSizeHint() const {
    const ShapedLine line = shape(text_, font());
    const QMargins m = contentsMargins();
    // Squeezed, a line keeps room for a few characters and the ellipsis.
    const int width = int(std::ceil(std::min(line.width, QFontMetricsF(font()).horizontalAdvance(QStringLiteral("Mm…")))));
    return {width + m.left() + m.right(), int(std::ceil(line.ascent + line.descent)) + m.top() + m.bottom()};
}

void TextLabel::paintEvent(QPaintEvent*) {
    if (text_.isEmpty()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QColor pen = ReadableText::color(color_);
    pen.setAlphaF(pen.alphaF() * float(opacity_));
    painter.setPen(pen);
    const QRectF area = contentsRect();
    const Qt::Alignment horizontal = QStyle::visualAlignment(layoutDirection(), alignment_) & Qt::AlignHorizontal_Mask;
    auto lineX = [&](qreal lineWidth) {
        if (horizontal & Qt::AlignHCenter) return area.left() + (area.width() - lineWidth) / 2;
        if (horizontal & Qt::AlignRight) return area.right() + 1 - lineWidth;
        return area.left();
    };
    const ShapedLine whole = shape(text_, font());

    if (wraps_) {
        const Wrapped wrapped = wrap(area.width());
        qreal top = area.top();
        for (const QString& line : wrapped.lines) {
            drawLine(painter, QPointF(lineX(shape(line, font()).width), top + whole.ascent), line, font(), contentDirection());
            top += wrapped.lineHeight;
        }
        return;
    }
    const Fit shown = fit(area.width());
    const qreal lineWidth = shape(shown.text, font()).width * shown.scale;
    // A shrunk line keeps the baseline of the full-size one, so it still lines up with its neighbours.
    const qreal baseline = baselineAt(height());
    painter.translate(lineX(lineWidth), baseline);
    painter.scale(shown.scale, shown.scale);
    drawLine(painter, QPointF(0, 0), shown.text, font(), directionOf(shown.text));
}

void TextLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LayoutDirectionChange) {
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}
