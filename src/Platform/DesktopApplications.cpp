#include "Platform/DesktopApplications.h"

#include "Models/AppLocalization.h"
#include "Platform/DesktopEntry.h"
#include "Platform/DesktopEntryFile.h"
#include "Platform/ProgramLaunchers.h"
#include "Platform/ProgramPath.h"

#include <QLocale>

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return result;
}

std::string bytes(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), size_t(utf8.size()));
}

// Lexically clean and inside the root: what the machine calls `path`.
std::string machinePath(const fs::path& path, const fs::path& root) {
    const fs::path relative = path.lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") return {};
    return (fs::path("/") / relative).lexically_normal().string();
}

}  // namespace

DesktopApplications::DesktopApplications(SystemRoots roots, std::vector<fs::path> searchPath)
    : roots_(std::move(roots)), searchPath_(std::move(searchPath)) {
    folders_.push_back(roots_.dataHome / "applications");
    for (const fs::path& dataDir : roots_.dataDirs) folders_.push_back(dataDir / "applications");
    refresh();
}

std::vector<fs::path> DesktopApplications::environmentSearchPath() {
    std::vector<fs::path> folders;
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && folder.front() == '/') folders.emplace_back(std::string(folder));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return folders;
}

bool DesktopApplications::refresh() {
    std::vector<fs::file_time_type> times;
    for (const fs::path& folder : folders_) {
        std::error_code error;
        times.push_back(fs::last_write_time(folder, error));
    }
    if (times == folderTimes_ && !folderTimes_.empty()) return false;
    folderTimes_ = std::move(times);
    read();
    return true;
}

std::optional<std::string> DesktopApplications::resolve(const std::string& program) const {
    // Where the program is under the root, then its real file: the exe link shows the target of
    // /usr/bin/firefox, not the link.
    auto found = [&](const fs::path& machine) -> std::optional<std::string> {
        const fs::path underRoot = roots_.underRoot(machine);
        std::error_code error;
        if (!fs::is_regular_file(underRoot, error)) return std::nullopt;
        const fs::path real = fs::canonical(underRoot, error);
        const std::string path = error ? std::string() : machinePath(real, fs::canonical(roots_.root, error));
        return path.empty() ? machine.lexically_normal().string() : path;
    };
    if (program.find('/') != std::string::npos) return program.front() == '/' ? found(program) : std::nullopt;
    for (const fs::path& folder : searchPath_)
        if (auto path = found(folder / program)) return path;
    return std::nullopt;
}

void DesktopApplications::read() {
    applications_.clear();
    byProgram_.clear();
    byWindowClass_.clear();
    byFlatpak_.clear();
    const QLocale locale = AppLocalization::activeLocale();
    std::unordered_set<std::string> seenIds;
    for (const fs::path& folder : folders_) {
        for (const auto& [file, fileID] : DesktopEntryFile::below(folder)) {
            const std::string id = fileID + ".desktop";
            // The first folder with an id wins, also when its entry hides the application.
            if (!seenIds.insert(id).second) continue;
            const auto entry = DesktopEntry::read(file);
            if (!entry || entry->text("Type") != QLatin1String("Application") || entry->flag("NoDisplay") || entry->flag("Hidden")) continue;

            Application application{id, bytes(entry->localizedText("Name", locale).value_or(QString::fromStdString(file.stem().string()))),
                                    bytes(entry->text("Icon").value_or(QString()))};
            const size_t index = applications_.size();
            applications_.push_back(std::move(application));

            if (auto program = entry->program()) {
                const std::string word = bytes(*program);
                const std::string_view name = ProgramPath::name(word);
                // A launcher's process is whatever it runs: it would gather every script under this entry.
                if (!ProgramLaunchers::isLauncher(name))
                    if (auto path = resolve(word)) byProgram_.emplace(*path, index);
            }
            if (auto windowClass = entry->text("StartupWMClass"); windowClass && !windowClass->isEmpty())
                byWindowClass_.emplace(lower(bytes(*windowClass)), index);
            if (auto flatpak = entry->text("X-Flatpak"); flatpak && !flatpak->isEmpty()) byFlatpak_.emplace(bytes(*flatpak), index);
        }
    }
}

const DesktopApplications::Application* DesktopApplications::match(std::string_view programPath,
                                                                   std::optional<std::string_view> flatpakId) const {
    if (flatpakId)
        if (auto found = byFlatpak_.find(std::string(*flatpakId)); found != byFlatpak_.end()) return &applications_[found->second];
    if (auto found = byProgram_.find(std::string(programPath)); found != byProgram_.end()) return &applications_[found->second];
    if (auto found = byWindowClass_.find(lower(ProgramPath::name(programPath))); found != byWindowClass_.end())
        return &applications_[found->second];
    return nullptr;
}
