#pragma once

#include <QString>

#include <optional>
#include <vector>

class QWidget;

// A pull-down of exclusive choices under a menu label: one row per choice with its symbol, the
// chosen one ticked. Returns the id of the row picked, or nothing when the menu was dismissed.
namespace ChoiceMenu {

struct Choice {
    QString id;
    QString title;
    QString symbol;
};

std::optional<QString> popUp(QWidget* label, const std::vector<Choice>& choices, const QString& selected);

}  // namespace ChoiceMenu
