#pragma once

#include "Foundation/BoundedLooks.h"
#include "Foundation/Instant.h"
#include "Platform/ListeningSockets.h"
#include "Platform/ProcessIdentity.h"
#include "Platform/ProcessTable.h"
#include "Platform/ProcessTerminator.h"
#include "Platform/SystemRoots.h"
#include "Services/DevProcessSample.h"
#include "Models/DevProject.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Turns the running processes of developer runtimes into projects, grouped by the project folder
// each works in, with their ports and activity; stops them on request. Projects are made on the
// monitor's sampling thread, and may wait there on a folder's file system for at most the look limit;
// stops come from the main thread.
class DevProjectsService {
public:
    using Terminate = std::function<TerminationResult(const ProcessIdentity&)>;
    // Whether a folder holds a project marker; may wait for as long as its file system does.
    using MarkerLook = std::function<bool(const std::string& folder)>;
    static constexpr std::chrono::milliseconds lookLimit{250};

    // A project's folder, and whether its file system answered the look for markers: one that did not
    // stands for the working folder it was asked about.
    struct ProjectRoot {
        std::filesystem::path folder;
        bool answers = true;
        bool operator==(const ProjectRoot&) const = default;
    };

    explicit DevProjectsService(const SystemRoots& roots, Terminate terminate = ProcessTerminator::terminate,
                                Instant launchedAt = Instant::now(), MarkerLook markerLook = holdsMarker,
                                std::chrono::milliseconds limit = lookLimit);

    // Whether one of the project markers is in the folder (a file or a folder of that name).
    static bool holdsMarker(const std::string& folder);

    // Whether a process runs a developer runtime: by its program's name (a versioned "ruby3.1" too),
    // by the name it was started by (a script's own name, "gunicorn"), or by living in node_modules.
    static bool isDevRuntime(std::string_view path, std::string_view commandName);
    // The name a developer-runtime process is known by: its program's, or the one it was started by
    // when only that names a runtime.
    static std::string_view executableName(std::string_view path, std::string_view commandName);
    static std::string dominantRuntime(const std::vector<std::string>& names);

    // The full project list for one pass's samples, largest memory first.
    std::vector<DevProject> projects(const std::vector<DevProcessSample>& samples, Instant now);

    // Sends the terminate signal to every process of the projects that is still the process seen,
    // and forgets their activity. Returns the projects of which some process could not be signalled.
    std::vector<DevProject> stop(const std::vector<DevProject>& projects);

    // Absent when the folder belongs to no project. A folder whose file system did not answer is not
    // remembered: it is looked into again once it answers.
    std::optional<ProjectRoot> projectRoot(const std::string& workingDirectory);

private:
    DevProject project(const ProjectRoot& root, const std::vector<const DevProcessSample*>& samples, Instant now);

    Instant launchedAt_;
    std::mutex lastActiveMutex_;  // the sampling thread updates it, a stop forgets
    std::unordered_map<std::string, Instant> lastActive_;
    std::unordered_map<std::string, std::optional<std::filesystem::path>> rootCache_;
    std::string home_;
    ProcessTable processes_;
    ListeningSockets sockets_;
    Terminate terminate_;
    BoundedLooks markerLooks_;
};
