#pragma once

#include <QWidget>

class TextLabel;

// A label (14, secondary) at the leading edge and its value (14 semibold) at the trailing edge.
class KeyValueRow : public QWidget {
    Q_OBJECT
public:
    KeyValueRow(const QString& label, const QString& value, QWidget* parent = nullptr);

    void setLabel(const QString& label);
    void setValue(const QString& value);

private:
    TextLabel* label_;
    TextLabel* value_;
};
