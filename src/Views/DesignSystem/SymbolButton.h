#pragma once

#include "Views/DesignSystem/SymbolImage.h"

#include <QAbstractButton>

// A plain button that is just a symbol: no background, the whole frame reacts; it dims while pressed.
class SymbolButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit SymbolButton(const SymbolImage& image, QWidget* parent = nullptr);

    void setImage(const SymbolImage& image);
    const SymbolImage& image() const { return image_; }
    void setFrameSize(const QSize& size);  // the hit area; the glyph square when not set

    QSize sizeHint() const override { return frameSize_.isValid() ? frameSize_ : image_.glyphBox(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SymbolImage image_;
    QSize frameSize_;
};
