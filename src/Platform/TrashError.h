#pragma once

#include <filesystem>
#include <stdexcept>

// A move to the trash that failed, as values: which item, why, and the system's error number.
// The text shown to the user is made where errors are described; what() is for logs.
class TrashError : public std::runtime_error {
public:
    enum class Reason {
        moveFailed,  // the system refused the move; systemError says why
        noTrash,     // no trash folder on the item's file system could take it
        changed,     // another file than the one listed is at the item's place now
        trashFolder, // the item is a trash folder, lies inside one or holds one
        mounted,     // the item is a mount point or holds one: a rename would carry that file system along
    };

    TrashError(Reason reason, std::filesystem::path item, int systemError = 0);

    Reason reason() const { return reason_; }
    const std::filesystem::path& item() const { return item_; }
    int systemError() const { return systemError_; }

private:
    Reason reason_;
    std::filesystem::path item_;
    int systemError_;
};
