#include "Views/Search/ChoiceMenu.h"

#include "Views/Common/GuardedMenu.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/DesignSystem/SymbolImage.h"

#include <QActionGroup>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace ChoiceMenu {
namespace {

QIcon symbolIcon(const QString& symbol, qreal devicePixelRatio) {
    const SymbolImage image{.symbol = symbol, .size = 13, .color = DynamicColor::primary()};
    const QSize box = image.glyphBox();
    QPixmap pixmap(box * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    image.paint(painter, QRectF(QPointF(0, 0), QSizeF(box)), false);
    return QIcon(pixmap);
}

}  // namespace

std::optional<QString> popUp(QWidget* label, const std::vector<Choice>& choices, const QString& selected) {
    const GuardedMenu menu(label);
    auto* group = new QActionGroup(&*menu);
    group->setExclusive(true);
    for (const Choice& choice : choices) {
        QAction* action = menu->addAction(symbolIcon(choice.symbol, label->devicePixelRatioF()), choice.title);
        action->setData(choice.id);
        action->setCheckable(true);
        action->setChecked(choice.id == selected);
        group->addAction(action);
    }
    // Under the label, lined up with its leading edge.
    const QSize size = menu->sizeHint();
    QPoint at = label->mapToGlobal(QPoint(0, label->height() + 4));
    if (label->isRightToLeft()) at.rx() += label->width() - size.width();
    QAction* chosen = menu->exec(at);
    if (!chosen) return std::nullopt;
    return chosen->data().toString();
}

}  // namespace ChoiceMenu
