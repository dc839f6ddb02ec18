#include "Views/Search/SearchTip.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>

SearchTip::SearchTip(const QString& symbol, const QString& text, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    auto* icon = new SymbolView({.symbol = symbol, .size = 13, .color = DS::teal});
    icon->setFixedWidth(20);
    row->addWidget(icon, 0, Qt::AlignTop);
    auto* label = new TextLabel(AppLocalization::string(text), Fonts::system(13), DynamicColor::secondary());
    label->setWordWrap(true);
    row->addWidget(label, 1);
}
