#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Places, each with what names it (a program, a launcher), looked up by the folder that may hold
// them: one sort, then a binary search per folder, so a load asks about many folders cheaply.
class PlaceIndex {
public:
    void add(std::filesystem::path place, std::string label) { places_.emplace_back(std::move(place), std::move(label)); }
    // Call once after the last add.
    void sort();

    // The label of a place that is `folder` or lies inside it; of the first such place by path.
    std::optional<std::string> within(const std::filesystem::path& folder) const;

    bool empty() const { return places_.empty(); }

private:
    std::vector<std::pair<std::filesystem::path, std::string>> places_;
};
