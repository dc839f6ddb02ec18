#include "Support/TestGit.h"

#include "Platform/ProcessRunner.h"

#include <stdexcept>

namespace fs = std::filesystem;

std::string TestGit::run(const fs::path& folder, const std::vector<std::string>& arguments) {
    std::vector<std::string> words{"-C", folder.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    ProcessRunner::Options options;
    options.limits.deadline = std::chrono::seconds(120);
    options.environment = std::vector<std::string>{
        "PATH=/usr/bin:/bin", "HOME=" + folder.string(), "LANG=C", "GIT_CONFIG_NOSYSTEM=1", "GIT_CONFIG_GLOBAL=/dev/null",
        "GIT_AUTHOR_NAME=Test", "GIT_AUTHOR_EMAIL=test@example.com", "GIT_COMMITTER_NAME=Test", "GIT_COMMITTER_EMAIL=test@example.com",
        "GIT_AUTHOR_DATE=2024-01-01T00:00:00Z", "GIT_COMMITTER_DATE=2024-01-01T00:00:00Z"};
    const ProcessRunner::Result result = ProcessRunner::run("/usr/bin/git", words, options);
    if (!result.exitedNormally() || result.exitStatus != 0 || result.timedOut) throw std::runtime_error("git failed: " + result.errorOutput);
    return result.output;
}
