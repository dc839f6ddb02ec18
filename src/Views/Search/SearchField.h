#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class BusySpinner;
class QLineEdit;
class SymbolButton;
class Transition;

// The query row of the search card: magnifier, the plain text field, a small spinner while a search
// runs and a clear button while the field holds anything, on DS.raised (radius 14), outlined in the
// tint while the field has the focus.
class SearchField : public QWidget {
    Q_OBJECT
public:
    explicit SearchField(const DynamicColor& tint, QWidget* parent = nullptr);

    QLineEdit* edit() const { return edit_; }
    SymbolButton* clearButton() const { return clear_; }
    BusySpinner* spinner() const { return spinner_; }
    void setSearching(bool searching);
    bool isFocused() const { return focused_; }

signals:
    void textEdited(const QString& text);
    void submitted();
    void clearClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DynamicColor tint_;
    QLineEdit* edit_;
    BusySpinner* spinner_;
    SymbolButton* clear_;
    bool focused_ = false;
    Transition* focusTransition_;
};
