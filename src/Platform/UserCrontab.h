#pragma once

#include "Platform/SystemRoots.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The current user's crontab, which only cron's own tool may read: the commands its lines run.
namespace UserCrontab {

// The tool that lists it, under the machine's root; empty when there is none.
std::filesystem::path tool(const SystemRoots& roots);

// The commands of each job in `crontab -l`, run through the tool without a shell and under
// `deadline`: nothing when there is no tool or no crontab, or when the tool fails or hangs.
std::vector<std::string> commands(const SystemRoots& roots, std::chrono::milliseconds deadline = std::chrono::seconds(3));

// The command of each job of a crontab's text, as cron hands it to the shell: past its five time
// fields or its "@reboot"-like nickname, up to its first "%" (what follows is its input), "\%"
// read as "%". Comments, blank lines and settings ("PATH=…", "MAILTO = x") run nothing.
std::vector<std::string> commandsOf(std::string_view crontab);

}  // namespace UserCrontab
