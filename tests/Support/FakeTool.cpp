#include "Support/FakeTool.h"

#include <fstream>

std::filesystem::path writeFakeTool(const std::filesystem::path& location, const std::string& body) {
    std::filesystem::create_directories(location.parent_path());
    std::ofstream(location, std::ios::binary | std::ios::trunc) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(location, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                               std::filesystem::perms::group_exec);
    return location;
}
