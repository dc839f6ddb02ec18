#pragma once

#include <filesystem>
#include <string_view>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// What dpkg records about installed packages, read from its database below the root
// (/var/lib/dpkg/info/*.list and /var/lib/dpkg/status); no tool is run.
namespace DpkgDatabase {

struct Package {
    std::string name;  // as its file list is named: "vim" or "libc6:amd64"
    std::string version;  // empty when the status file does not say
    std::filesystem::path fileList;
};

// The package that owns each of `files` (full paths below `root`); files no package owns are left out.
// A file is asked for by its path and by its folder's real path (links resolved) joined with its
// name, so that a link above it never hides that a package owns it; a diverted file, by the name its
// package lists it under.
std::unordered_map<std::string, Package> owners(const std::vector<std::filesystem::path>& files, const std::filesystem::path& root);

// Every path any installed package lists at or below `below` (a machine path, "/" for all), as dpkg
// names it ("/usr/bin/vim"), the names moved aside by a diversion among them.
std::unordered_set<std::string> listedPaths(const std::filesystem::path& root, std::string_view below = "/");

// Each package with files installed, by the name its file list goes by ("imagemagick-6.q16",
// "libc6:amd64"), with the programs it put in a program folder (a "bin", "sbin" or "games" folder),
// as dpkg names them ("/usr/bin/convert-im6.q16"), in the order it lists them. A list is read again
// only when its size or time has changed since this process last read it.
std::unordered_map<std::string, std::vector<std::string>> programsByPackage(const std::filesystem::path& root);

// The files and folders a package installed, as full paths below `root`.
std::vector<std::filesystem::path> files(const Package& package, const std::filesystem::path& root);

}  // namespace DpkgDatabase
