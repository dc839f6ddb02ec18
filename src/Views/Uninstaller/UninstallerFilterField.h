#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class QLineEdit;
class SymbolButton;

// The application list's filter: a funnel symbol, the text field and, while it holds any text, a
// clear button; on the raised colour, edged in the tint while the field has focus. The text changes
// the filter at once.
class UninstallerFilterField : public QWidget {
    Q_OBJECT
public:
    explicit UninstallerFilterField(const DynamicColor& tint, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* edit() const { return edit_; }
    SymbolButton* clearButton() const { return clear_; }
    bool isFocused() const;

signals:
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DynamicColor tint_;
    QLineEdit* edit_;
    SymbolButton* clear_;
};
