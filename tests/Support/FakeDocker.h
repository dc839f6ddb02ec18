#pragma once

#include "Services/DockerContainerService.h"
#include "Support/TempTree.h"

#include <string>
#include <vector>

// A stand-in docker tool, installed as the only candidate for as long as the object lives, so no
// test reaches the machine's own client. Each subcommand ("ps", "stats", "stop", ...) answers with
// what the test set for it; every call is logged once its answer has been read.
class FakeDocker {
public:
    FakeDocker();
    ~FakeDocker();

    void answer(const std::string& command, const std::string& output, int status = 0, const std::string& errorOutput = "");
    // The command waits this long (seconds, as sleep(1) takes them) after reading its answer.
    void delay(const std::string& command, const std::string& seconds);
    // Replaces the whole tool with `body`.
    void replace(const std::string& body);

    std::vector<std::string> calls() const;
    int callCount(const std::string& command) const;

    DockerContainerService::Setup& setup() { return setup_; }
    void install() const;  // after changing setup()
    const TempTree& tree() const { return tree_; }

private:
    TempTree tree_;
    DockerContainerService::Setup setup_;
};
