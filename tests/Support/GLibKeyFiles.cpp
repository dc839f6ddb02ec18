#include "Support/GLibKeyFiles.h"

#include <dlfcn.h>

namespace fs = std::filesystem;

namespace {

struct GError {
    unsigned domain;
    int code;
    char* message;
};

}  // namespace

GLibKeyFiles::GLibKeyFiles() : glib_(::dlopen("libglib-2.0.so.0", RTLD_NOW)) {}

GLibKeyFiles::~GLibKeyFiles() {
    if (glib_) ::dlclose(glib_);
}

template <typename Signature>
Signature* GLibKeyFiles::function(const char* name) const {
    return reinterpret_cast<Signature*>(::dlsym(glib_, name));
}

std::optional<GLibKeyFiles::Reading> GLibKeyFiles::load(const fs::path& file) const {
    auto newKeyFile = function<void*()>("g_key_file_new");
    auto loadFile = function<int(void*, const char*, int, GError**)>("g_key_file_load_from_file");
    auto hasGroup = function<int(void*, const char*)>("g_key_file_has_group");
    auto value = function<char*(void*, const char*, const char*, GError**)>("g_key_file_get_value");
    auto boolean = function<int(void*, const char*, const char*, GError**)>("g_key_file_get_boolean");
    auto freeKeyFile = function<void(void*)>("g_key_file_free");
    auto freeError = function<void(GError*)>("g_error_free");
    auto freeMemory = function<void(void*)>("g_free");

    void* keys = newKeyFile();
    GError* error = nullptr;
    if (!loadFile(keys, file.c_str(), 0, &error)) {
        freeError(error);
        freeKeyFile(keys);
        return std::nullopt;
    }
    auto key = [&](const char* name) -> std::optional<Key> {
        char* text = value(keys, "Desktop Entry", name, nullptr);
        if (!text) return std::nullopt;
        Key found{text, std::nullopt};
        freeMemory(text);
        GError* failure = nullptr;
        const bool flag = boolean(keys, "Desktop Entry", name, &failure);
        if (failure) freeError(failure);
        else found.boolean = flag;
        return found;
    };
    Reading reading{hasGroup(keys, "Desktop Entry") != 0, key("Hidden"), key("X-GNOME-Autostart-enabled")};
    freeKeyFile(keys);
    return reading;
}

bool GLibKeyFiles::startsAtLogin(const fs::path& userFolder, const std::vector<fs::path>& systemFolders, const std::string& fileName) const {
    std::optional<fs::path> file;
    for (const fs::path& folder : systemFolders)
        if (!file && fs::exists(fs::symlink_status(folder / fileName))) file = folder / fileName;
    if (fs::exists(fs::symlink_status(userFolder / fileName))) file = userFolder / fileName;
    if (!file) return false;
    const auto reading = load(*file);
    return reading && reading->hasEntryGroup && !(reading->hidden && reading->hidden->boolean == true) &&
           (!reading->enabled || reading->enabled->boolean == true);
}
