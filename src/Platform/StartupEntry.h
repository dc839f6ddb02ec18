#pragma once

#include <QString>

#include <filesystem>
#include <optional>

// What a startup file says about itself: the Linux counterpart of a launch property list's "Label"
// and "Program". A desktop entry gives its "Name" and the first word of "Exec"; a systemd unit its
// "Description" and the first word of "ExecStart".
struct StartupEntry {
    std::optional<QString> label;
    std::optional<QString> program;
    bool startsAtLogin = true;  // a desktop entry's own keys may say it does not

    // Empty when the file cannot be read or is neither a desktop entry nor a unit. Units in the
    // ".wants" folders are links; an absolute link target is taken below `root`.
    static std::optional<StartupEntry> read(const std::filesystem::path& file, const std::filesystem::path& root);
};
