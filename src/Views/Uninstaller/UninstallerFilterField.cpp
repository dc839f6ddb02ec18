#include "Views/Uninstaller/UninstallerFilterField.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/SymbolView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>

UninstallerFilterField::UninstallerFilterField(const DynamicColor& tint, QWidget* parent) : QWidget(parent), tint_(tint) {
    setFixedHeight(36);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 0, 12, 0);
    row->setSpacing(8);
    row->addWidget(new SymbolView(SymbolImage{.symbol = "line.3.horizontal.decrease", .size = 13, .color = DynamicColor::secondary()}));
    edit_ = new QLineEdit;
    edit_->setObjectName("uninstallerFilter");
    edit_->setFrame(false);
    edit_->setPlaceholderText(AppLocalization::string("uninstaller.filter"));
    edit_->setFont(Fonts::system(14));
    edit_->setAttribute(Qt::WA_MacShowFocusRect, false);
    edit_->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    edit_->installEventFilter(this);
    row->addWidget(edit_, 1);
    clear_ = new SymbolButton(SymbolImage{.symbol = "xmark.circle.fill", .size = 13, .color = DynamicColor::tertiary()});
    clear_->setObjectName("clearFilter");
    clear_->setAccessibleName(AppLocalization::string("action.cancel"));
    clear_->setFocusPolicy(Qt::NoFocus);  // clearing leaves the focus where it was
    clear_->hide();
    row->addWidget(clear_);
    connect(clear_, &QAbstractButton::clicked, this, [this] { edit_->clear(); });
    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        clear_->setVisible(!text.isEmpty());
        emit textChanged(text);
    });
}

QString UninstallerFilterField::text() const { return edit_->text(); }

void UninstallerFilterField::setText(const QString& text) { edit_->setText(text); }

bool UninstallerFilterField::isFocused() const { return edit_->hasFocus(); }

bool UninstallerFilterField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) update();
    return QWidget::eventFilter(watched, event);
}

void UninstallerFilterField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);  // the border inside the edge
    const QPainterPath shape = ContinuousShape::roundedRect(box, 10);
    painter.fillPath(shape, DS::raised.resolved());
    painter.setPen(QPen(isFocused() ? tint_.resolved(0.5) : DS::hairline.resolved(), 1));
    painter.drawPath(shape);
}
