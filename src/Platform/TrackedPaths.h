#pragma once

#include <string>
#include <string_view>
#include <vector>

// The paths a work tree keeps, relative to its top and '/' separated ("a/b"): what a repository
// tracks, or what chezmoi's source names in the home.
struct TrackedPaths {
    std::vector<std::string> files;
    // Folders kept whole, whatever is inside: a submodule, a folder a sparse index keeps unexpanded.
    std::vector<std::string> folders;

    // Orders the paths for `holds`, each once; call once filled.
    void sort();

    // Whether `relative` is kept, holds something kept, or lies in a folder kept whole.
    bool holds(std::string_view relative) const;
};
