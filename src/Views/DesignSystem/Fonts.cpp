#include "Views/DesignSystem/Fonts.h"

#include <QStringList>

#include <cmath>

namespace Fonts {
namespace {

QFont make(const QStringList& families, qreal size, QFont::Weight weight) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(std::max(1, int(std::lround(size))));
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

}  // namespace

QFont system(qreal size, QFont::Weight weight) {
    static const QStringList families{QStringLiteral("Noto Sans"), QStringLiteral("Noto Sans Arabic"), QStringLiteral("DejaVu Sans")};
    return make(families, size, weight);
}

QFont monospaced(qreal size, QFont::Weight weight) {
    static const QStringList families{QStringLiteral("Noto Sans Mono"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Noto Sans Arabic")};
    return make(families, size, weight);
}

}  // namespace Fonts
