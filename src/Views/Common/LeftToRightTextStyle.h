#pragma once

#include <QProxyStyle>

// The application's style, but every text a widget's style draws reads left to right: a painter
// shapes text in the application's direction whatever the widget's own, so a path in a combo box
// of a right-to-left window would read "home/user/". Set on one widget, parented to it.
class LeftToRightTextStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit LeftToRightTextStyle(QWidget* owner);

    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette, bool enabled, const QString& text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;
};
