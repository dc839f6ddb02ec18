#pragma once

#include <string>

class AppState;

// One item's tick in the tools' shared selection: reads and writes the single identifier in
// AppState's set, so every row, figure and button that reads the set follows.
class ToolSelection {
public:
    ToolSelection(AppState& state, std::string id) : state_(&state), id_(std::move(id)) {}

    bool isOn() const;
    void set(bool on) const;
    const std::string& id() const { return id_; }
    AppState& state() const { return *state_; }

private:
    AppState* state_;
    std::string id_;
};
