#include "Platform/FileNameIndex.h"

#include <sys/stat.h>

bool FileNameIndex::exists() const {
    std::error_code error;
    return std::filesystem::is_regular_file(database, error);
}

std::optional<Instant> FileNameIndex::updatedAt() const {
    // stat, not open: the index may be unreadable to this user, and its time is all that is wanted.
    struct stat status {};
    if (::stat(database.c_str(), &status) != 0) return std::nullopt;
    return Instant::fromTimespec(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
}

bool FileNameIndex::isExtensionQuery(std::string_view text) {
    return text.size() > 1 && text.front() == '.' && text.find('.', 1) == std::string_view::npos &&
           text.find_first_of(" \t\n\r\v\f") == std::string_view::npos;
}

std::string FileNameIndex::namePattern(std::string_view text) {
    const bool extension = isExtensionQuery(text);
    // Without glob characters plocate looks for a plain substring, which is its fastest search.
    if (!extension && text.find_first_of("*?[]\\") == std::string_view::npos) return std::string(text);
    // A glob is matched against the whole name, so the stars say where the text may sit.
    std::string pattern = "*";
    for (char c : text) {
        if (c == '\\' || c == '?' || c == '[' || c == ']') pattern += '\\';
        pattern += c;
    }
    if (!extension) pattern += '*';
    return pattern;
}

std::vector<std::string> FileNameIndex::arguments(std::string_view text) const {
    // plocate splits its database argument at ":" unless escaped.
    std::string databaseArgument;
    for (char c : database.native()) {
        if (c == ':' || c == '\\') databaseArgument += '\\';
        databaseArgument += c;
    }
    // --basename: the name only, not its folders; --literal: no shell quoting of odd names.
    std::vector<std::string> arguments = {"--database", databaseArgument, "--basename", "--ignore-case", "--null", "--literal"};
    arguments.push_back("--");
    arguments.push_back(namePattern(text));
    return arguments;
}
