#pragma once

#include "Models/RawValues.h"

// File kinds a search can be narrowed to. Titles and symbols belong to the search screen.
enum class SearchKind { all, images, video, audio, documents, archives };

template <>
struct RawValues<SearchKind> {
    static constexpr std::array<std::pair<SearchKind, std::string_view>, 6> table{{
        {SearchKind::all, "all"},
        {SearchKind::images, "images"},
        {SearchKind::video, "video"},
        {SearchKind::audio, "audio"},
        {SearchKind::documents, "documents"},
        {SearchKind::archives, "archives"},
    }};
};

// The content type a kind's files conform to; empty for all.
constexpr std::string_view contentTypeFilter(SearchKind kind) {
    switch (kind) {
    case SearchKind::all: return {};
    case SearchKind::images: return "public.image";
    case SearchKind::video: return "public.movie";
    case SearchKind::audio: return "public.audio";
    case SearchKind::documents: return "public.content";
    case SearchKind::archives: return "public.archive";
    }
    return {};
}
