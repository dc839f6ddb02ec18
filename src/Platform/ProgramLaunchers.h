#pragma once

#include <string_view>

// Programs that start other programs: shells, interpreters and runtimes, openers, sandboxes and
// wrappers. An entry that runs one ("sh -c …", "python3 ~/proj/app.py", "xdg-open %f") says nothing
// about which program is the application, and the launcher itself serves every program it runs.
namespace ProgramLaunchers {

// By the program's file name; a version after the name counts as the name ("python3.11", "ruby3.1",
// "node18", "wine64").
bool isLauncher(std::string_view programName);

}  // namespace ProgramLaunchers
