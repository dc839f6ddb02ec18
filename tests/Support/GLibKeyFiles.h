#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// GLib's own key-file loader, opened at run time: what a desktop session makes of an autostart
// entry at login, to hold our reading against.
class GLibKeyFiles {
public:
    GLibKeyFiles();
    ~GLibKeyFiles();
    GLibKeyFiles(const GLibKeyFiles&) = delete;
    GLibKeyFiles& operator=(const GLibKeyFiles&) = delete;
    bool available() const { return glib_; }

    struct Key {
        std::string value;            // as the loader gives it
        std::optional<bool> boolean;  // nothing when the loader reads no boolean in it
        bool operator==(const Key&) const = default;
    };
    struct Reading {
        bool hasEntryGroup = false;
        std::optional<Key> hidden;   // "Hidden" of "[Desktop Entry]"
        std::optional<Key> enabled;  // "X-GNOME-Autostart-enabled"
        bool operator==(const Reading&) const = default;
    };
    // Nothing when the loader refuses the file.
    std::optional<Reading> load(const std::filesystem::path& file) const;

    // Whether a session starts the entry of that name: the user's folder first, then the system
    // folders in order; it starts when the loader takes it and neither key keeps it back.
    bool startsAtLogin(const std::filesystem::path& userFolder, const std::vector<std::filesystem::path>& systemFolders,
                       const std::string& fileName) const;

private:
    template <typename Signature>
    Signature* function(const char* name) const;
    void* glib_;
};
