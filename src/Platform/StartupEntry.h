#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

// What a startup file says about itself: the Linux counterpart of a launch property list's "Label"
// and "Program". A desktop entry gives its "Name" and the first word of "Exec"; a systemd unit its
// "Description" and the first word of "ExecStart".
struct StartupEntry {
    // How far the desktop's own reading of an autostart entry is known.
    enum class Reading {
        loaded,        // read whole, as the desktop reads it
        badLine,       // the desktop refuses the file for one of its lines, and never starts it
        notAFile,      // not a regular file: refused too
        noEntryGroup,  // loads, but holds no "[Desktop Entry]": nothing to start
        tooLarge,      // past the size read; whether it starts is not known
        unreadable,    // could not be read here; whether it starts is not known
    };

    std::optional<QString> label;
    std::optional<QString> program;
    bool startsAtLogin = true;  // a desktop entry's own keys may say it does not
    Reading reading = Reading::loaded;
    // The desktops an autostart entry is for, or not for: empty for none named.
    QStringList onlyShowIn;
    QStringList notShowIn;
    std::size_t badLine = 0;  // for badLine: its number, from 1
    int error = 0;            // for unreadable: errno

    // Whether the desktop starts it at login by the file alone (not known for tooLarge, unreadable).
    bool starts() const { return reading == Reading::loaded && startsAtLogin; }

    // A systemd unit; empty when the file cannot be read or is no unit. Units in the ".wants" folders
    // are links; an absolute link target is taken below `root`.
    static std::optional<StartupEntry> read(const std::filesystem::path& file, const std::filesystem::path& root);
    // An autostart entry, read as the desktop session reads it: following links, any size up to
    // a bound no real entry reaches, with GLib's rules.
    static StartupEntry readAutostart(const std::filesystem::path& file);
};
