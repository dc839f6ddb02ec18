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

// What each line of `crontab -l` hands the shell (below), run through the tool without a shell and
// under `deadline`: nothing when there is no tool or no crontab, or when the tool fails or hangs; a
// tool that hung is not run again for some minutes.
std::vector<std::string> commands(const SystemRoots& roots, std::chrono::milliseconds deadline = std::chrono::seconds(2));

// What each line of a crontab's text hands the shell: a job's command past its five time fields or
// its "@reboot"-like nickname, up to its first "%" (what follows is its input), "\%" read as "%"; a
// setting ("PATH=…", "MAILTO = x") as "NAME=value", which may name what a job runs through it.
// Comments and blank lines give nothing.
std::vector<std::string> commandsOf(std::string_view crontab);

}  // namespace UserCrontab
