#pragma once

#include "Foundation/FileIdentity.h"

#include <filesystem>
#include <optional>
#include <vector>

// The names of one file moved in one go. Moving a name renames it, and a rename sets the file's
// status-change time, which every other name of it shows: a name listed before the move no longer
// looks as listed, though nothing but the move touched it. Kept for one run of moves, this tells
// that change from one made by anyone else.
class MovedNames {
public:
    // What a name listed as `listed` must be now: what this run's last move of another of its names
    // left, where that move took the very file as listed and changed nothing but its status-change
    // time; otherwise `listed` itself.
    FileIdentity expected(const FileIdentity& listed) const;
    std::optional<FileIdentity> expected(const std::optional<FileIdentity>& listed) const;

    // After a name listed as `listed`, checked against `checked`, went to `location`: what the move
    // left, kept only when the file is still the one checked apart from its status-change time and
    // its count of names, so that a change by anyone else between the move and this look counts as
    // a change.
    void moved(const FileIdentity& listed, const FileIdentity& checked, const std::filesystem::path& location);

private:
    struct Moved {
        FileIdentity listed;
        FileIdentity left;
    };
    std::vector<Moved> moved_;
};
