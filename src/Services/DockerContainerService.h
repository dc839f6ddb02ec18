#pragma once

#include "Models/DockerAction.h"
#include "Models/DockerContainer.h"
#include "Services/DockerError.h"

#include <QString>

#include <chrono>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

// The Docker operations, through the docker command-line tool. Stateless: every call finds the tool
// anew and runs it under a time limit. Calls block, so make them off the main thread. Failures are
// thrown: DockerError, ProcessRunner::StartError, or a runtime_error for output that is not the
// expected JSON lines.
namespace DockerContainerService {

// Where the tool is looked for and how long it may take; tests point it at fakes.
struct Setup {
    std::vector<std::filesystem::path> fixedCandidates = {"/usr/local/bin/docker", "/usr/bin/docker"};
    std::filesystem::path home;             // empty: the user's home folder
    std::optional<std::string> searchPath;  // absent: "PATH" of this process, read at each call
    std::chrono::milliseconds commandTimeLimit{8000};
    // "docker stop" waits up to 10 s for the container before it kills it, so actions get longer.
    std::chrono::milliseconds actionTimeLimit{20000};
    std::chrono::milliseconds terminateGrace{1000};
};

void install(Setup setup);
Setup current();

// The fixed candidates, the home folder's ".docker/bin/docker", then each piece of the search path
// with "/docker" added; empty pieces add nothing.
std::vector<std::filesystem::path> candidates(const Setup& setup);
// The first candidate that is an executable file.
std::optional<std::filesystem::path> executable();

// Runs the tool with `arguments`; its standard output, decoded and trimmed. A stop request kills the
// tool and throws Cancelled.
QString run(const std::vector<std::string>& arguments, std::chrono::milliseconds timeLimit, std::stop_token stop = {});

// Every container, running ones first, with the figures of the running ones.
std::vector<DockerContainer> containers(std::stop_token stop = {});
// Starts, stops or kills a container given by its full identifier.
void perform(DockerAction action, const QString& id, std::stop_token stop = {});

// Joins the list output with the stats output and orders the rows; runs nothing.
std::vector<DockerContainer> parseContainers(const QString& list, const QString& stats);
// 64 lower-case hexadecimal characters.
bool isValidContainerID(const QString& id);

}  // namespace DockerContainerService
