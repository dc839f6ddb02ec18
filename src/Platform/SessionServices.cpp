#include "Platform/SessionServices.h"

#include "Platform/FolderListing.h"
#include "Platform/KeyFile.h"
#include "Platform/RootedLink.h"
#include "Platform/UnitSpecifiers.h"
#include "Platform/UserCrontab.h"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// A command written into an entry's Exec as it stands: its backslashes and percent signs kept as
// they are, not read as the entry's escapes and field codes.
std::string asExec(std::string_view command) {
    std::string exec;
    for (const char c : command) {
        if (c == '\\' || c == '%') exec += c;
        exec += c;
    }
    return exec;
}

// An entry of the commands, the first as its Exec, the others as its actions'.
std::optional<DesktopEntry> entryOf(const std::vector<std::string>& commands, const std::string& folder) {
    if (commands.empty()) return std::nullopt;
    std::string text = "[Desktop Entry]\nType=Service\nExec=" + asExec(commands.front()) + "\n";
    if (!folder.empty()) text += "Path=" + folder + "\n";
    std::string actions;
    for (size_t index = 1; index < commands.size(); ++index) actions += std::to_string(index) + ";";
    if (!actions.empty()) text += "Actions=" + actions + "\n";
    for (size_t index = 1; index < commands.size(); ++index)
        text += "[Desktop Action " + std::to_string(index) + "]\nExec=" + asExec(commands[index]) + "\n";
    return DesktopEntry::fromKeyFile(KeyFile::parse(text));
}

// Text as one word of a command, in double quotes.
std::string doubleQuoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\' || c == '$' || c == '`') quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// A script's path as one word of a command, as the machine names it.
std::string quotedMachinePath(const fs::path& file, const SystemRoots& roots) { return doubleQuoted(roots.machinePath(file)); }

// A unit's commands: every Exec line of its [Service], past the prefixes that only say how it runs
// ("-", "@", "+", "!", ":"), its specifiers resolved; its working folder.
std::optional<DesktopEntry> unitEntry(const fs::path& file, const SystemRoots& roots) {
    const auto unit = KeyFile::read(RootedLink::resolved(file, roots.root));
    if (!unit) return std::nullopt;
    const std::string name = file.filename().native();
    std::vector<std::string> commands;
    for (std::string_view key : {"ExecStart", "ExecStartPre", "ExecStartPost", "ExecReload", "ExecStop", "ExecStopPost", "ExecCondition"})
        for (const std::string& line : unit->values("Service", key))
            if (const size_t start = line.find_first_not_of("@-:+!"); start != std::string::npos)
                commands.push_back(UnitSpecifiers::expanded(std::string_view(line).substr(start), name, &roots));
    std::string folder = UnitSpecifiers::expanded(unit->value("Service", "WorkingDirectory").value_or(""), name, &roots);
    if (folder.starts_with('-')) folder.erase(0, 1);  // "-" only says a missing folder is no failure
    if (folder == "~") folder = UnitSpecifiers::expanded("%h", name, &roots);
    return entryOf(commands, folder);
}

std::vector<fs::path> filesIn(const fs::path& folder, std::string_view extension) {
    std::vector<fs::path> found;
    for (fs::path& entry : FolderListing::entries(folder).value_or(std::vector<fs::path>{}))
        if (!FolderListing::isHidden(entry) && (extension.empty() || FolderListing::lowercaseExtension(entry) == extension)) found.push_back(std::move(entry));
    std::sort(found.begin(), found.end());
    return found;
}

// A shell command line as one word of an entry's command, run by "sh -c".
std::string shellCommand(const std::string& line) { return "sh -c " + doubleQuoted(line); }

// The files a shell reads as it starts, in which users keep their aliases, functions and the
// commands of their session: bash's, zsh's, the login shells' and the X session's, and fish's
// configuration and functions. A link is read where it leads (a dotfiles repository).
std::vector<fs::path> shellStartupFiles(const SystemRoots& roots) {
    std::vector<fs::path> files;
    for (std::string_view name : {".bashrc", ".bash_aliases", ".bash_profile", ".bash_login", ".bash_logout", ".profile", ".zshrc", ".zprofile",
                                  ".zshenv", ".zlogin", ".xprofile", ".xsessionrc", ".xinitrc"})
        files.push_back(roots.home / name);
    // Folders of files each of which is read as one: bash's drop-ins, zsh's functions that .zshrc
    // autoloads by their file name, Oh My Zsh's own aliases.
    for (std::string_view folder : {".bashrc.d", ".zfunc", ".zsh/functions", ".oh-my-zsh/custom"})
        for (fs::path& file : filesIn(roots.home / folder, folder == ".oh-my-zsh/custom" ? "zsh" : "")) files.push_back(std::move(file));
    files.push_back(roots.configHome / "fish/config.fish");
    for (std::string_view folder : {"fish/functions", "fish/conf.d"})
        for (fs::path& file : filesIn(roots.configHome / folder, "fish")) files.push_back(std::move(file));
    std::erase_if(files, [](const fs::path& file) {
        struct stat info {};
        return ::lstat(file.c_str(), &info) != 0;
    });
    return files;
}

}  // namespace

std::vector<SessionService> SessionService::of(const SystemRoots& roots) {
    std::vector<SessionService> services;
    // The enabled units first, each under the name it was enabled by ("rclone@gdrive.service" for the
    // template "rclone@.service"), then every unit of the folder.
    const fs::path units = roots.configHome / "systemd/user";
    std::vector<fs::path> unitFiles;
    for (const fs::path& folder : filesIn(units, ""))
        if (folder.extension() == ".wants" && FolderListing::isFolder(folder))
            for (fs::path& unit : filesIn(folder, "service")) unitFiles.push_back(std::move(unit));
    for (fs::path& unit : filesIn(units, "service")) unitFiles.push_back(std::move(unit));
    for (fs::path& file : unitFiles)
        if (auto entry = unitEntry(file, roots)) services.push_back({std::move(file), RunnerKind::service, std::move(*entry)});
    for (fs::path& file : filesIn(roots.dataHome / "dbus-1/services", "service"))
        if (const auto keys = KeyFile::read(file))
            if (auto entry = entryOf({keys->value("D-BUS Service", "Exec").value_or("")}, ""); entry && !entry->command().empty())
                services.push_back({std::move(file), RunnerKind::service, std::move(*entry)});
    for (fs::path& file : filesIn(roots.configHome / "autostart-scripts", "")) {
        auto entry = FolderListing::lowercaseExtension(file) == "desktop" ? DesktopEntry::read(file) : entryOf({quotedMachinePath(file, roots)}, "");
        if (entry) services.push_back({std::move(file), RunnerKind::service, std::move(*entry)});
    }
    // Each crontab line is a command of its own, run in the home folder; a startup file is read as a
    // script in the home.
    std::vector<std::string> jobs;
    for (const std::string& job : UserCrontab::commands(roots)) jobs.push_back(shellCommand(job));
    if (auto entry = entryOf(jobs, roots.machinePath(roots.home))) services.push_back({UserCrontab::tool(roots), RunnerKind::crontab, std::move(*entry)});
    for (fs::path& file : shellStartupFiles(roots))
        if (auto entry = entryOf({quotedMachinePath(file, roots)}, "")) services.push_back({std::move(file), RunnerKind::shellStartup, std::move(*entry)});
    return services;
}
