#pragma once

#include <QWidget>

class QVBoxLayout;

// Shows one widget at a time, filling the stack; replacing it fades the old one out over the new
// one, so a change of screen or page is a short dissolve rather than a jump.
class FadingStack : public QWidget {
    Q_OBJECT
public:
    explicit FadingStack(int durationMs, QWidget* parent = nullptr);

    // Takes ownership of `next` and deletes the widget shown before it.
    void setCurrent(QWidget* next);
    QWidget* current() const { return current_; }
    bool isFading() const;

private:
    class Overlay;

    QVBoxLayout* layout_;
    QWidget* current_ = nullptr;
    Overlay* overlay_;
};
