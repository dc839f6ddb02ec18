#include "Support/OwnProcesses.h"

#include "Platform/KernelFile.h"

#include <unistd.h>

#include <charconv>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The parent of each process the kernel lists now; a process that ends while it is read is left out.
std::unordered_map<pid_t, pid_t> parents() {
    std::unordered_map<pid_t, pid_t> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        pid_t pid = 0;
        if (std::from_chars(name.data(), name.data() + name.size(), pid).ptr != name.data() + name.size() || pid < 1) continue;
        KernelFile stat(entry.path() / "stat");
        const std::optional<std::string_view> text = stat.read();
        if (!text) continue;
        // "<pid> (<name>) <state> <ppid> ...": the name may hold anything, so it ends at the last ')'.
        const size_t close = text->rfind(')');
        if (close == std::string_view::npos || close + 4 >= text->size()) continue;
        pid_t parent = 0;
        if (std::from_chars(text->data() + close + 4, text->data() + text->size(), parent).ec == std::errc()) found[pid] = parent;
    }
    return found;
}

}  // namespace

OwnProcesses::OwnProcesses() {
    folder_.folder("proc");
    fs::create_symlink("/proc/stat", folder_.path() / "proc/stat");
    refresh();
}

SystemRoots OwnProcesses::roots(const fs::path& tree) const {
    SystemRoots machine = SystemRoots::fixture(tree);
    machine.proc = folder_.path() / "proc";
    return machine;
}

void OwnProcesses::refresh() const {
    const std::unordered_map<pid_t, pid_t> parentOf = parents();
    const pid_t self = ::getpid();
    std::unordered_set<std::string> own;
    for (const auto& [pid, parent] : parentOf) {
        pid_t above = parent;
        for (size_t steps = 0; steps < parentOf.size() && above > 1 && above != self; ++steps) {
            const auto next = parentOf.find(above);
            above = next == parentOf.end() ? 0 : next->second;
        }
        if (above == self) own.insert(std::to_string(pid));
    }
    const fs::path proc = folder_.path() / "proc";
    std::vector<fs::path> gone;
    for (const fs::directory_entry& entry : fs::directory_iterator(proc)) {
        const std::string name = entry.path().filename().string();
        if (name != "stat" && !own.count(name)) gone.push_back(entry.path());
    }
    for (const fs::path& link : gone) fs::remove(link);
    for (const std::string& pid : own)
        if (!fs::is_symlink(proc / pid)) fs::create_symlink("/proc/" + pid, proc / pid);
}
