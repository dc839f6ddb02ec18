#pragma once

#include <string>
#include <vector>

// What a shell string runs, read as a shell would part it, without running anything.
namespace ShellCommands {

// The commands a shell string runs ("sh -c 'cd ~/x && exec gtk-launch beeper'"), each as its words:
// quotes taken away, operators and lines parting commands, "exec" left out. None for a word that is
// no shell string.
std::vector<std::vector<std::string>> of(const std::string& text);

}  // namespace ShellCommands
