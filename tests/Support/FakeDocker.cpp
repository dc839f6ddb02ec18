#include "Support/FakeDocker.h"

#include "Support/FakeTool.h"

#include <fstream>

using namespace std::chrono_literals;

namespace {
std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}
}  // namespace

FakeDocker::FakeDocker() {
    setup_.fixedCandidates = {tree_.path() / "bin/docker"};
    setup_.home = tree_.folder("home");
    setup_.searchPath = "";
    setup_.commandTimeLimit = 3s;
    setup_.actionTimeLimit = 3s;
    setup_.terminateGrace = 300ms;
    replace("");
    install();
}

FakeDocker::~FakeDocker() {
    DockerContainerService::install({});
}

void FakeDocker::install() const {
    DockerContainerService::install(setup_);
}

void FakeDocker::replace(const std::string& body) {
    const auto answers = tree_.folder("answers");
    std::string script = body;
    if (script.empty()) {
        const std::string at = quoted(answers) + "/\"$1\"";
        script = "out=$(cat " + at + ".out 2>/dev/null)\n"
                 "pause=$(cat " + at + ".sleep 2>/dev/null)\n"
                 "echo \"$*\" >> " + quoted(tree_.path() / "calls") + "\n"
                 "[ -n \"$pause\" ] && sleep \"$pause\"\n"
                 "[ -n \"$out\" ] && printf '%s\\n' \"$out\"\n"
                 "[ -e " + at + ".err ] && cat " + at + ".err >&2\n"
                 "exit \"$(cat " + at + ".status 2>/dev/null || echo 0)\"";
    }
    writeFakeTool(tree_.path() / "bin/docker", script);
}

void FakeDocker::answer(const std::string& command, const std::string& output, int status, const std::string& errorOutput) {
    tree_.write("answers/" + command + ".out", output);
    tree_.write("answers/" + command + ".status", std::to_string(status));
    tree_.write("answers/" + command + ".err", errorOutput);
}

void FakeDocker::delay(const std::string& command, const std::string& seconds) {
    tree_.write("answers/" + command + ".sleep", seconds);
}

std::vector<std::string> FakeDocker::calls() const {
    std::ifstream file(tree_.path() / "calls");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

int FakeDocker::callCount(const std::string& command) const {
    int count = 0;
    for (const auto& line : calls())
        if (line == command || line.rfind(command + " ", 0) == 0) ++count;
    return count;
}
