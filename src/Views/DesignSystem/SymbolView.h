#pragma once

#include "Views/DesignSystem/SymbolImage.h"

#include <QWidget>

// One symbol on its own, tinted like text, as large as its glyph square.
class SymbolView : public QWidget {
    Q_OBJECT
public:
    explicit SymbolView(const SymbolImage& image, QWidget* parent = nullptr);

    void setImage(const SymbolImage& image);
    const SymbolImage& image() const { return image_; }

    QSize sizeHint() const override { return image_.glyphBox(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SymbolImage image_;
};
