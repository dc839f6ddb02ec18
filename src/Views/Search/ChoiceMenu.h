#pragma once

#include "Models/AppLocalization.h"
#include "Models/RawValues.h"

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

// The same over every case of an enumeration the screen names (labelKey) and draws (symbol).
template <typename E>
std::optional<E> popUpCases(QWidget* label, E selected) {
    std::vector<Choice> choices;
    for (E each : allCases<E>()) choices.push_back({rawText(each), AppLocalization::string(labelKey(each)), symbol(each)});
    const std::optional<QString> chosen = popUp(label, choices, rawText(selected));
    return chosen ? fromRawText<E>(*chosen) : std::nullopt;
}

}  // namespace ChoiceMenu
