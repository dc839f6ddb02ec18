#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Runs the git command as a user would, for tests that make real repositories: never through a
// shell, with neither the machine's nor a user's settings, and a fixed author.
namespace TestGit {

// Runs `git -C folder ARGUMENTS...` and gives its standard output; throws when git fails.
std::string run(const std::filesystem::path& folder, const std::vector<std::string>& arguments);

}  // namespace TestGit
