#pragma once

#include <string>
#include <vector>

// A subcommand of quarnell-bench. Each one prints one JSON line per run and returns the exit code.
using BenchCommand = int (*)(const std::vector<std::string>& arguments);

// Registers a subcommand at start-up: `static const bool registered = registerBenchCommand("scan", runScan);`
bool registerBenchCommand(const char* name, BenchCommand command);
