#include "Views/Tools/ToolSelection.h"

#include "Services/AppState.h"

bool ToolSelection::isOn() const { return state_->selectedToolItems().contains(id_); }

void ToolSelection::set(bool on) const {
    if (on == isOn()) return;
    std::set<std::string> items = state_->selectedToolItems();
    if (on) items.insert(id_);
    else items.erase(id_);
    state_->setSelectedToolItems(std::move(items));
}
