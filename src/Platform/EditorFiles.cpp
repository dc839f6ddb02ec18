#include "Platform/EditorFiles.h"

#include "Platform/FileContents.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

constexpr std::string_view swapStart = "b0VIM ";
constexpr std::string_view undoStart = "Vim\x9fUnDo\xe5";
// A swap file holds at least its first block, and Vim's smallest block is larger than this.
constexpr std::int64_t smallestSwap = 1024;

// Vim names a swap file ".swp", and where that is taken counts back: ".swo" to ".swa", then ".svz"
// to ".saa".
bool isSwapName(std::string_view name) {
    if (name.size() < 4 || name[name.size() - 4] != '.' || name[name.size() - 3] != 's') return false;
    const char first = name[name.size() - 2], second = name[name.size() - 1];
    if (first < 'a' || first > 'w' || second < 'a' || second > 'z') return false;
    return first < 'w' || second <= 'p';
}

// Vim and Neovim name an undo file kept in an undo folder after the whole path it keeps, each
// slash made a "%"; one kept beside its file is ".name.un~".
bool isUndoName(std::string_view name) { return name.find('%') != std::string_view::npos || name.ends_with(".un~"); }

// Whether `name` ends with `ending`, or with it and a number nano adds where the name is taken
// ("list.txt.save.1", "!home!ana!list.txt~.2").
bool endsNumbered(std::string_view name, std::string_view ending) {
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot + 1 < name.size() &&
        std::all_of(name.begin() + std::ptrdiff_t(dot) + 1, name.end(), [](char digit) { return std::isdigit(static_cast<unsigned char>(digit)); }))
        name = name.substr(0, dot);
    return name.size() > ending.size() && name.ends_with(ending);
}

// What the name alone tells: Emacs's auto-saves ("#name#", "#!home!ana!notes.txt#") and the lists
// of them it reads to recover a session (".saves-PID-HOST~"), Kate's swap files, nano's emergency
// saves (made when it is hung up on); then the backups editors leave ("name~", Emacs's "name.~1~",
// nano's "!home!ana!notes.txt~.1").
EditorFile kindOfName(std::string_view name) {
    if ((name.size() >= 3 && name.front() == '#' && name.back() == '#') || name.starts_with(".saves-") || name.ends_with(".kate-swp") ||
        endsNumbered(name, ".save"))
        return EditorFile::unsavedWork;
    if (endsNumbered(name, "~")) return EditorFile::history;
    return EditorFile::none;
}

}  // namespace

EditorFile EditorFiles::kindOf(std::string_view folder, std::string_view name, std::int64_t length) {
    const bool mayBeSwap = isSwapName(name) && length >= smallestSwap;
    const bool mayBeUndo = isUndoName(name) && length >= std::int64_t(undoStart.size());
    const EditorFile named = kindOfName(name);
    if (named == EditorFile::unsavedWork || (!mayBeSwap && !mayBeUndo)) return named;
    std::string file(folder);
    file.append("/").append(name);
    const auto head = FileContents::head(file, undoStart.size());
    if (!head) return mayBeSwap ? EditorFile::unsavedWork : EditorFile::history;
    if (mayBeSwap && head->starts_with(swapStart)) return EditorFile::unsavedWork;
    if (mayBeUndo && head->starts_with(undoStart)) return EditorFile::history;
    return named;
}
