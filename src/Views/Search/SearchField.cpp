#include "Views/Search/SearchField.h"

#include "Models/AppLocalization.h"
#include "Views/Common/BusySpinner.h"
#include "Views/Common/PlainToolTip.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/Transition.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>

SearchField::SearchField(const DynamicColor& tint, QWidget* parent)
    : QWidget(parent), tint_(tint), focusTransition_(new Transition(this, 150, QEasingCurve::OutCubic)) {
    setFixedHeight(54);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(18, 0, 18, 0);
    row->setSpacing(14);
    row->addWidget(new SymbolView({.symbol = QStringLiteral("magnifyingglass"), .size = 19, .color = tint_}));

    edit_ = new QLineEdit;
    edit_->setObjectName("searchQuery");
    edit_->setFrame(false);
    edit_->setFont(Fonts::system(17));
    edit_->setPlaceholderText(AppLocalization::string("search.placeholder"));
    edit_->setAccessibleName(AppLocalization::string("search.placeholder"));
    // The field lies on the row's raised surface; its own base would show as a box.
    QPalette palette = edit_->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    edit_->setPalette(palette);
    edit_->installEventFilter(this);
    row->addWidget(edit_, 1);

    spinner_ = new BusySpinner;
    spinner_->hide();
    row->addWidget(spinner_);

    clear_ = new SymbolButton({.symbol = QStringLiteral("xmark.circle.fill"), .size = 16, .color = DynamicColor::tertiary()});
    clear_->setObjectName("searchClear");
    clear_->setToolTip(plainToolTip(AppLocalization::string("search.clear")));
    clear_->setAccessibleName(AppLocalization::string("search.clear"));
    clear_->hide();
    row->addWidget(clear_);

    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        clear_->setVisible(!text.isEmpty());  // spaces alone count: there is something to clear
        emit textEdited(text);
    });
    connect(edit_, &QLineEdit::returnPressed, this, &SearchField::submitted);
    connect(clear_, &QAbstractButton::clicked, this, &SearchField::clearClicked);
}

void SearchField::setSearching(bool searching) { spinner_->setVisible(searching); }

bool SearchField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const bool focused = event->type() == QEvent::FocusIn;
        if (focused != focused_) {
            focused_ = focused;
            focusTransition_->start();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SearchField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The outline turns to the tint, and thicker, as the field takes the focus.
    const qreal level = focused_ ? focusTransition_->progress() : 1 - focusTransition_->progress();
    const qreal width = Transition::mix(1, 1.5, level);
    const QRectF box = QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2);
    const QPainterPath shape = ContinuousShape::roundedRect(box, 14);
    painter.fillPath(shape, DS::raised.resolved());
    painter.setPen(QPen(Transition::mix(DS::hairline.resolved(), tint_.resolved(0.55), level), width));
    painter.drawPath(shape);
}
