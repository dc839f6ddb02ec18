#include "Platform/ProgramLaunchers.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::string_view, 40> launchers{
    "env",      "sh",        "bash",       "dash",       "zsh",     "fish",   "ksh",         "python",  "pypy",   "perl",
    "ruby",     "node",      "deno",       "bun",        "java",    "gjs",    "lua",         "luajit",  "php",    "julia",
    "mono",     "dotnet",    "electron",   "wine",       "flatpak", "snap",   "appimage-run", "sudo",   "pkexec", "dbus-launch",
    "xdg-open", "exo-open",  "gio",        "firejail",   "bwrap",   "nice",   "ionice",      "taskset", "prime-run", "gamemoderun"};

std::string_view withoutVersion(std::string_view name) {
    const size_t end = name.find_last_not_of("0123456789.");
    return end == std::string_view::npos ? name : name.substr(0, end + 1);
}

}  // namespace

bool ProgramLaunchers::isLauncher(std::string_view programName) {
    const std::string_view name = withoutVersion(programName);
    return name.starts_with("python") || std::find(launchers.begin(), launchers.end(), name) != launchers.end();
}
