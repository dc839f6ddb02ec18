#pragma once

#include "Platform/DesktopEntry.h"
#include "Platform/SystemRoots.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The program a desktop entry starts, found as the desktop finds it: Linux's counterpart of the
// executable inside an application bundle. Whether it is the application's own is for its caller
// to decide; this says where it is and whether it could be.
struct EntryProgram {
    enum class Found {
        // No Exec line, a path relative to a folder nobody knows, a folder that cannot be read, a
        // launcher we cannot find handed an address ("steam steam://rungameid/413150"), or a program
        // on storage that is not there now (under /media, /run/media or /mnt, or on a drive the fstab
        // mounts that is not mounted).
        unknown,
        // The program is not there, nor is it on storage that may come back (its folder may have
        // been deleted). That proves only that the entry starts nothing: the program may have moved,
        // been updated under another name, or be read wrongly.
        nowhere,
        present,
    };
    Found found = Found::unknown;
    std::filesystem::path path;  // as Exec names it, under the roots; set when present
    // With every link resolved: what tells two entries running one program. Set when present.
    std::filesystem::path realFile;
    // Whether it could be the application's own program, which goes with its entry: a regular file of
    // the user's in the home folder with no other name, named itself rather than through a link,
    // outside any environment or install tree, installed by no Python package; and either an AppImage
    // (known by its mark, wherever it lies) or a compiled program (an ELF file) lying directly in one
    // of the user's program folders (~/.local/bin, ~/bin, ~/.cargo/bin, ~/go/bin). A script is never
    // one: whatever it seems to run, the program it starts stays.
    bool standsAlone = false;
    bool isAppImage = false;
    // Such a file that lies in a folder of its own instead, the folder an archive was unpacked or an
    // installer installed into (~/firefox for ~/firefox/firefox, ~/idea for ~/idea/bin/idea.sh,
    // ~/.local/zed.app for its libexec/zed-editor, ~/Applications/obsidian for the AppImage a helper
    // keeps there as obsidian): the application goes only with that whole folder. It may be named
    // through a link of the home (~/.local/bin/kitty). Never a general folder (the home, Desktop,
    // ~/.config, the program folders), one inside a version-controlled tree, one with another
    // AppImage lying in it, nor one whose program has other programs beside it (~/Apps, a prefix's
    // bin/) unless it is named after it.
    std::optional<std::filesystem::path> unpackedInto;
    // The places the entry names, with their links resolved: every file its Exec lines (its own and
    // its actions') name wherever they stand (after "firejail", inside "sh -c '…'", by a path read in
    // the folder the command starts in, by a name on the search path), and its TryExec program…
    std::vector<std::filesystem::path> runs;
    // A script among them that lies in the home adds what it names by path ("pw-jack ~/bin/qtractor"):
    // never proof that the program is an application's own, only that another launcher uses it.
    // …and every folder they name: its Path, where "env -C" or a shell's "cd" goes, a folder handed on.
    std::vector<std::filesystem::path> folders;
    // The names of the programs its commands start, inside a container too ("distrobox-enter -n box --
    // gimp-2.10" starts "distrobox-enter" and "gimp-2.10").
    std::vector<std::string> programNames;
    // The desktop-file IDs of the entries its commands start by ID ("gtk-launch beeper" starts
    // "beeper.desktop"): what those run, this one runs too.
    std::vector<std::string> startsEntries;
    // Whether its TryExec program is there and may run (true without TryExec): the desktop ignores
    // the entry otherwise.
    bool tryExecFound = true;

    // What Exec names, past "env" and its settings: "~/" is the home folder, a relative path is read
    // in the folder "env -C" or Path gives, a bare name is looked up in `searchPath` as the session
    // would, then in the usual program folders.
    static EntryProgram of(const DesktopEntry& entry, const SystemRoots& roots, const std::vector<std::filesystem::path>& searchPath);
    // What a file in one of the home's program folders runs when the user types its name: the file
    // itself (and the link it is named by), and for a script in the home its interpreter and what it
    // names, as for a script an entry runs. Only `runs` and `folders` are set.
    static EntryProgram ofProgramFile(const std::filesystem::path& file, const SystemRoots& roots, const std::vector<std::filesystem::path>& searchPath);
    // The user's own program folders: what lies there the user built or installed alone (cargo
    // install, go install, a download made executable, a script).
    static std::vector<std::filesystem::path> programFolders(const std::filesystem::path& home);

    bool operator==(const EntryProgram&) const = default;
};
