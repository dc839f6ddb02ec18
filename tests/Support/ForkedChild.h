#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Runs test code in a forked child process, for what root cannot see from inside: folders that only
// an unprivileged user cannot read, or a fixture tree that stands in for "/". The child's result
// travels back as text; an exception in the child comes back as "exception: <what>".
namespace ForkedChild {

// Dropping privileges and changing the root need root, as tests and CI run.
bool isRoot();

// As it is, for what must not reach this process: a switch that holds for the rest of a process.
std::string runApart(const std::function<std::string()>& body);

// As the user nobody. The files the child must reach have to be readable by others.
std::string runAsNobody(const std::function<std::string()>& body);

// In a mount namespace of its own, so that mounts made by the body vanish with the child and never
// reach this machine's mount table. A body that cannot mount returns `mountFailed`.
std::string runInMountNamespace(const std::function<std::string()>& body);
inline constexpr const char* mountFailed = "mount failed";
// Whether a child's result says that mounting is not possible here (no namespace, no mount).
bool cannotMount(const std::string& result);
// Notes a check made in the child: the body returns the notes, empty when every check held.
inline void check(std::string& failures, bool held, const std::string& what) {
    if (!held) failures += what + "\n";
}

// With at most `soft` descriptors open at once (and `hard` as the hard limit, when given); this
// process keeps its own limits.
std::string runWithOpenFileLimit(unsigned long soft, const std::function<std::string()>& body, unsigned long hard = 0);

// With these environment variables set (name, value); this process's environment, and what Qt read
// of it, stay as they are.
std::string runWithEnvironment(const std::vector<std::pair<std::string, std::string>>& variables, const std::function<std::string()>& body);

// With `newRoot` as the root folder "/".
std::string runInRoot(const std::filesystem::path& newRoot, const std::function<std::string()>& body);

}  // namespace ForkedChild
