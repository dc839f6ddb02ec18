#pragma once

#include <QWidget>

// One row of the tips card: a teal symbol in a 20-wide column and the tip, wrapped as needed.
class SearchTip : public QWidget {
    Q_OBJECT
public:
    SearchTip(const QString& symbol, const QString& text, QWidget* parent = nullptr);
};
