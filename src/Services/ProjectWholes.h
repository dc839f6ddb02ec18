#pragma once

#include "Foundation/FolderAnswers.h"
#include "Models/UntickedReason.h"
#include "Platform/DirectoryEntry.h"
#include "Platform/SystemRoots.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The projects whose files belong together, for the duplicate finder, found from what is on disk:
//  - a folder that is one: a static site (a generator's configuration beside its content: Hugo's or
//    Zola's "hugo.toml"/"config.toml" with "content/", Jekyll's "_config.yml" with "_posts/"), an
//    unpacked EPUB ("mimetype" saying so, with "META-INF/container.xml"), an Ardour session (a
//    ".ardour" file with "interchange/"), a Scrivener project (a ".scriv" package);
//  - an old Audacity project: "NAME.aup" with its "NAME_data/" beside it;
//  - a LaTeX document with the files it includes, and the clips a video editor's project (Kdenlive,
//    Shotcut, OpenShot) names by path: the documents the search came across, each read once;
//  - the album art beside the audio files of an album (a folder of two or more, below the home and
//    the user's folders, where songs are saved loose), above its disc folders or in its scans' folder;
//  - everything in the user's Templates folder, which the desktop offers for new documents.
// Folders the walk listed are looked at through the entries it kept; any other is read when asked,
// each once. Safe to ask from any number of threads.
class ProjectWholes {
public:
    // The entries of a folder a walk listed, or nothing to have it read from disk.
    using Listed = std::function<const std::vector<DirectoryEntry>*(const std::string& folder)>;

    // What a project and the reason it is left unticked for, with the project it is part of (its
    // folder, its document) or the folder it lies in.
    struct Belonging {
        UntickedReason reason;
        std::string within;
    };

    // The entries a walk keeps for this: those that may mark a project.
    static bool keeps(std::string_view entryName);
    // A file whose content names files of a project, handed to this to be read.
    static bool isProjectDocument(std::string_view fileName);
    // A sound file of an album, which a walk counts per folder.
    static bool isAudio(std::string_view fileName);

    // `documents` are the project documents the walk came across; `audioFiles` the number of sound
    // files of each folder that holds any.
    ProjectWholes(Listed listed, std::vector<std::string> documents, std::unordered_map<std::string, std::size_t> audioFiles, const SystemRoots& roots);

    std::optional<Belonging> of(const std::string& path);

private:
    std::optional<Belonging> folderProject(const std::string& folder);
    std::optional<Belonging> ownProject(const std::string& folder);
    std::vector<DirectoryEntry> entriesOf(const std::string& folder);
    std::size_t audioFilesIn(const std::string& folder);
    bool isAlbumFolder(const std::string& folder);
    bool isLooseFolder(const std::string& folder) const;
    bool isAlbumArt(const std::string& path);
    void readDocuments();

    Listed listed_;
    std::vector<std::string> documents_;
    std::unordered_map<std::string, std::size_t> audioFiles_;
    std::vector<std::string> looseFolders_;  // the home and the user's folders
    std::unordered_set<std::string> holdingAlbums_;  // folders with a folder of an album inside
    std::string templates_;
    std::once_flag documentsRead_;
    std::unordered_map<std::string, Belonging> named_;  // by the documents, once read
    FolderAnswers<std::optional<Belonging>> folders_;
    FolderAnswers<std::size_t> audioRead_;
};
