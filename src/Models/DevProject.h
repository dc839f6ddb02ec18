#pragma once

#include "Foundation/Instant.h"
#include "Platform/ProcessIdentity.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Where a stop the user asked for stands: its processes had the terminate signal, and are still
// there, within the grace period or after it.
enum class ProjectStop { none, stopping, stillRunning };

// A developer project: the runtime processes working in one project folder.
struct DevProject {
    std::string id;  // the root's path
    std::string name;  // the root's last component (bytes)
    std::filesystem::path root;
    std::string runtime;
    std::vector<std::int32_t> pids;  // in process-list order
    std::uint64_t memory = 0;
    double cpu = 0;  // share of the whole machine
    std::vector<int> ports;  // listening, each once, ascending
    std::optional<Instant> startedAt;
    Instant lastActiveAt;
    double lifetimeLoad = 0;  // processor seconds per second of age: the cores it kept busy on average
    std::vector<ProcessIdentity> processes;  // the same processes as pids, as they were seen, for stopping
    // False when the file system of its folder did not answer the look for project markers: the
    // project is then the working folder of its processes.
    bool folderAnswers = true;
    ProjectStop stop = ProjectStop::none;

    bool operator==(const DevProject&) const = default;
};
