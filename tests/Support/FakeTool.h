#pragma once

#include <filesystem>
#include <string>

// Writes an executable shell script standing in for an outside tool; `body` follows the "#!/bin/sh" line.
std::filesystem::path writeFakeTool(const std::filesystem::path& location, const std::string& body);
