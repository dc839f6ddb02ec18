#include "Platform/PowerSupplies.h"

#include "Platform/KernelFile.h"
#include "Platform/KernelText.h"

#include <algorithm>
#include <charconv>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

std::optional<std::string_view> PowerSupply::text(std::string_view key) const {
    for (const auto& [property, value] : properties)
        if (property == key) return std::string_view(value);
    return std::nullopt;
}

std::optional<std::int64_t> PowerSupply::number(std::string_view key) const {
    auto value = text(key);
    if (!value || value->empty()) return std::nullopt;
    std::int64_t number = 0;
    auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), number);
    if (error != std::errc() || end != value->data() + value->size()) return std::nullopt;
    return number;
}

std::vector<PowerSupply> PowerSupplies::read(const SystemRoots& roots) {
    std::vector<PowerSupply> supplies;
    int classFd = ::open((roots.sys / "class/power_supply").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (classFd < 0) return supplies;
    DIR* folder = ::fdopendir(classFd);
    if (!folder) {
        ::close(classFd);
        return supplies;
    }
    std::string buffer;
    while (dirent* entry = ::readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        std::string uevent = std::string(entry->d_name) + "/uevent";
        auto content = KernelFile::readOnce(classFd, uevent.c_str(), buffer);
        if (!content) continue;
        PowerSupply supply;
        supply.name = entry->d_name;
        std::string_view rest = *content;
        constexpr std::string_view prefix = "POWER_SUPPLY_";
        while (!rest.empty()) {
            std::string_view line = KernelText::nextLine(rest);
            size_t equals = line.find('=');
            if (line.substr(0, prefix.size()) != prefix || equals == std::string_view::npos) continue;
            supply.properties.emplace_back(line.substr(prefix.size(), equals - prefix.size()), line.substr(equals + 1));
        }
        // Older kernels leave the type out of the uevent; it is always a file of its own.
        if (!supply.text("TYPE")) {
            std::string typeFile = std::string(entry->d_name) + "/type";
            if (auto type = KernelFile::readOnce(classFd, typeFile.c_str(), buffer))
                supply.properties.emplace_back("TYPE", KernelText::trimmed(*type));
        }
        supplies.push_back(std::move(supply));
    }
    ::closedir(folder);  // closes classFd too
    std::sort(supplies.begin(), supplies.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return supplies;
}
