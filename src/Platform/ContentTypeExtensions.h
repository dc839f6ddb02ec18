#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

// Which file names belong to a broad content type ("public.image", "public.movie", "public.audio",
// "public.content", "public.archive"), told by their extensions as the MIME database lists them.
// Built once per type; safe to share between threads.
class ContentTypeExtensions {
public:
    // An unknown content type matches nothing.
    static const ContentTypeExtensions& forType(std::string_view contentType);

    // Case-insensitive; a multi-part extension ("tar.gz") counts, a leading dot (".bashrc") does not.
    bool matches(std::string_view fileName) const;

private:
    std::unordered_set<std::string> extensions_;  // lowercased, without the dot
    std::size_t mostDots_ = 0;                     // 1 for "zip", 2 for "tar.gz"
};
