#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

// Text in a design colour, the interface's label. It sits at the leading edge of the layout
// direction but reads in the direction of its own content (an English path stays left to right in
// an Arabic window). On one line, when squeezed, it first shrinks down to the minimum scale factor
// and then elides (at the end, or in the middle for paths); with word wrap it grows downwards.
class TextLabel : public QWidget {
    Q_OBJECT
public:
    explicit TextLabel(const QString& text = {}, QWidget* parent = nullptr);
    TextLabel(const QString& text, const QFont& font, const DynamicColor& color = DynamicColor::primary(), QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return text_; }
    void setColor(const DynamicColor& color, qreal opacity = 1);
    void setElideMode(Qt::TextElideMode mode);
    Qt::TextElideMode elideMode() const { return elideMode_; }
    void setMinimumScaleFactor(qreal factor);  // 1: never shrinks
    void setWordWrap(bool wraps);
    void setMaximumLineCount(int lines);  // with word wrap; the last line elides. 0: no limit
    void setAlignment(Qt::Alignment alignment);  // horizontal part; leading by default

    // What one line shows in `width`: the scale of the font and the possibly elided text.
    struct Fit {
        qreal scale = 1;
        QString text;
    };
    Fit fit(qreal width) const;
    // Whether part of the text is elided at the label's present width.
    bool isCut() const;
    // Where a one-line label `height` tall draws its baseline, from its top: the line is centred as
    // shaped, so a fallback font's taller glyphs move it down.
    qreal baselineAt(int height) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return wraps_; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Wrapped;
    Wrapped wrap(qreal width) const;
    Qt::LayoutDirection contentDirection() const;
    void refreshSizePolicy();

    QString text_;
    DynamicColor color_ = DynamicColor::primary();
    qreal opacity_ = 1;
    Qt::TextElideMode elideMode_ = Qt::ElideRight;
    qreal minimumScale_ = 1;
    bool wraps_ = false;
    int maximumLines_ = 0;
    Qt::Alignment alignment_ = Qt::AlignLeading;
};
