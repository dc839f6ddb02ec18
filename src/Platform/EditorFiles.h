#pragma once

#include <cstdint>
#include <string_view>

// What an editor keeps of a file being edited, wherever it was told to keep it. Unsaved work is
// the only copy of what was typed since the last save: Vim's and Neovim's swap files, Emacs's
// auto-saves and their lists, Kate's swap files, nano's emergency saves. History is the file's
// past: Vim's persistent undo, the backups editors leave. Nothing makes either again once gone.
// A later kind weighs more.
enum class EditorFile { none, history, unsavedWork };

namespace EditorFiles {

// The kind of the regular file `name` of `length` bytes in `folder`, told by how editors name
// these files, and for the two kinds Vim names loosely by what they begin with: its swap files
// (extensions from ".swp" back to ".saa"; a block that begins "b0VIM ") and its undo files (named
// after the path they keep; "Vim\x9fUnDo\xe5"). Only those few bytes are read, and only where the
// name and length fit; one that cannot be read counts as its name says. Never waits on a FIFO or a
// device, never follows a link. Most names are told apart without the path being put together.
EditorFile kindOf(std::string_view folder, std::string_view name, std::int64_t length);

}  // namespace EditorFiles
