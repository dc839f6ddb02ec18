#include "Services/DevProjectsService.h"

#include "Platform/ProgramPath.h"
#include "Services/HeldMemory.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::string_view, 21> runtimes = {
    "node", "bun", "deno", "python", "python3", "Python", "ruby", "php", "java", "dotnet", "uvicorn",
    "gunicorn", "flask", "rails", "puma", "jupyter", "jupyter-lab", "esbuild", "vite", "turbo", "air"};

constexpr std::array<std::string_view, 9> projectMarkers = {
    "package.json", "pyproject.toml", "requirements.txt", "go.mod", "Cargo.toml", "Gemfile", "composer.json",
    "deno.json", ".git"};

constexpr std::array<std::string_view, 8> runtimePriority = {"node", "bun", "deno", "python", "ruby", "php", "java", "dotnet"};

bool isRuntime(std::string_view name) { return std::find(runtimes.begin(), runtimes.end(), name) != runtimes.end(); }

// The runtime a name stands for: itself, or a runtime with a version after it ("ruby3.1", "php8.2",
// "node18"), as Debian names its interpreters.
std::optional<std::string_view> runtimeOf(std::string_view name) {
    if (isRuntime(name)) return name;
    std::string_view base = name.substr(0, name.find_last_not_of("0123456789.") + 1);
    if (base.size() < name.size() && name[base.size()] != '.' && isRuntime(base)) return base;
    return std::nullopt;
}

bool namesRuntime(std::string_view name) { return runtimeOf(name) || name.substr(0, 8) == "python3."; }

}  // namespace

DevProjectsService::DevProjectsService(const SystemRoots& roots, Terminate terminate, Instant launchedAt, MarkerLook markerLook,
                                       std::chrono::milliseconds limit)
    : launchedAt_(launchedAt),
      home_(roots.home.native()),
      processes_(roots),
      sockets_(roots),
      terminate_(std::move(terminate)),
      markerLooks_(std::move(markerLook), limit) {
    while (home_.size() > 1 && home_.back() == '/') home_.pop_back();
}

bool DevProjectsService::isDevRuntime(std::string_view path, std::string_view commandName) {
    return namesRuntime(ProgramPath::name(path)) || namesRuntime(commandName) || path.find("/node_modules/") != std::string_view::npos;
}

std::string_view DevProjectsService::executableName(std::string_view path, std::string_view commandName) {
    std::string_view name = ProgramPath::name(path);
    if (!namesRuntime(name) && namesRuntime(commandName)) return commandName;
    return name;
}

std::string DevProjectsService::dominantRuntime(const std::vector<std::string>& names) {
    std::vector<std::string_view> normalised;
    for (const std::string& name : names) {
        std::string_view view = name;
        if (view.substr(0, 6) == "python" || view == "Python") normalised.push_back("python");
        else normalised.push_back(runtimeOf(view).value_or(view));
    }
    for (std::string_view runtime : runtimePriority)
        if (std::find(normalised.begin(), normalised.end(), runtime) != normalised.end()) return std::string(runtime);
    return normalised.empty() ? "process" : std::string(normalised.front());
}

bool DevProjectsService::holdsMarker(const std::string& folder) {
    for (std::string_view marker : projectMarkers) {
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::path(folder) / marker, error)) return true;
    }
    return false;
}

std::optional<DevProjectsService::ProjectRoot> DevProjectsService::projectRoot(const std::string& workingDirectory) {
    if (auto cached = rootCache_.find(workingDirectory); cached != rootCache_.end()) {
        if (!cached->second) return std::nullopt;
        return ProjectRoot{*cached->second};
    }
    std::optional<std::filesystem::path> root;
    // Only folders below home hold projects; the home folder itself and everything outside hold none.
    if (workingDirectory.size() > home_.size() + 1 && workingDirectory.compare(0, home_.size(), home_) == 0 &&
        workingDirectory[home_.size()] == '/') {
        // The working folder and at most five of its parents, never home or above it.
        std::string current = workingDirectory;
        for (int level = 0; level < 6 && !root && current.size() > home_.size(); ++level) {
            const std::optional<bool> marked = markerLooks_.look(current);
            // The working folder stands for the project until its file system answers.
            if (!marked) return ProjectRoot{std::filesystem::path(workingDirectory), false};
            if (*marked) root = std::filesystem::path(current);
            current.erase(std::min(current.rfind('/'), current.size()));
        }
        // Without a marker the working folder is the project, unless it lies in a hidden folder of home
        // (tools' own data, editor servers, caches).
        if (!root && workingDirectory.find("/.", home_.size()) == std::string::npos) root = std::filesystem::path(workingDirectory);
    }
    rootCache_.emplace(workingDirectory, root);
    if (!root) return std::nullopt;
    return ProjectRoot{*root};
}

std::vector<DevProject> DevProjectsService::projects(const std::vector<DevProcessSample>& samples, Instant now) {
    // Groups in the order their first process was seen.
    std::vector<std::pair<ProjectRoot, std::vector<const DevProcessSample*>>> groups;
    std::unordered_map<std::string, size_t> groupIndex;
    for (const DevProcessSample& sample : samples) {
        auto folder = processes_.workingDirectory(sample.pid);
        if (!folder || folder->empty()) continue;
        auto root = projectRoot(*folder);
        if (!root) continue;
        auto [index, added] = groupIndex.emplace(root->folder.native(), groups.size());
        if (added) groups.emplace_back(*root, std::vector<const DevProcessSample*>{});
        groups[index->second].first.answers &= root->answers;
        groups[index->second].second.push_back(&sample);
    }
    std::vector<DevProject> result;
    if (!groups.empty()) sockets_.refresh();
    for (const auto& [root, members] : groups) result.push_back(project(root, members, now));
    std::stable_sort(result.begin(), result.end(), [](const DevProject& a, const DevProject& b) { return a.memory > b.memory; });
    return result;
}

DevProject DevProjectsService::project(const ProjectRoot& root, const std::vector<const DevProcessSample*>& samples, Instant now) {
    DevProject project;
    project.id = root.folder.native();
    project.name = root.folder.filename().native();
    project.root = root.folder;
    project.folderAnswers = root.answers;
    double cores = 0;
    double cpuTime = 0;
    std::vector<std::string> executables;
    HeldMemory memory;
    for (const DevProcessSample* sample : samples) {
        project.pids.push_back(sample->pid);
        project.processes.push_back(sample->identity);
        memory.add(sample->memory, sample->sharedMemory);
        project.cpu += sample->cpuShare;
        cores += sample->coreShare;
        cpuTime += sample->cpuTime;
        executables.push_back(sample->executable);
        if (sample->startedAt && (!project.startedAt || *sample->startedAt < *project.startedAt)) project.startedAt = sample->startedAt;
        for (int port : sockets_.ports(sample->pid)) project.ports.push_back(port);
    }
    project.memory = memory.bytes();
    // Busy means more than 2 % of one core.
    const std::lock_guard lock(lastActiveMutex_);
    if (cores > 0.02) lastActive_[project.id] = now;
    if (auto active = lastActive_.find(project.id); active != lastActive_.end()) {
        project.lastActiveAt = active->second;
    } else {
        // Never seen busy: as active as when it started, but no earlier than shortly before launch.
        Instant floor = launchedAt_.addingSeconds(-61);
        project.lastActiveAt = project.startedAt ? std::max(*project.startedAt, floor) : floor;
    }
    double age = project.startedAt ? std::max(now.secondsSince(*project.startedAt), 1.0) : 1.0;
    project.lifetimeLoad = cpuTime / age;
    project.runtime = dominantRuntime(executables);
    std::sort(project.ports.begin(), project.ports.end());
    project.ports.erase(std::unique(project.ports.begin(), project.ports.end()), project.ports.end());
    return project;
}

std::vector<DevProject> DevProjectsService::stop(const std::vector<DevProject>& projects) {
    std::vector<DevProject> failed;
    for (const DevProject& project : projects) {
        bool stopped = true;
        for (const ProcessIdentity& process : project.processes) {
            TerminationResult result = terminate_(process);
            if (result == TerminationResult::refused || result == TerminationResult::failed) stopped = false;
        }
        if (!stopped) {
            failed.push_back(project);
            continue;
        }
        const std::lock_guard lock(lastActiveMutex_);
        lastActive_.erase(project.id);
    }
    return failed;
}
