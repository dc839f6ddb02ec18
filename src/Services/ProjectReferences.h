#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The files a project document names by their paths, read from the document itself: a LaTeX
// document's figures, chapters and bibliographies, and a video editor's clips (Kdenlive's and
// Shotcut's MLT XML, OpenShot's JSON). Taking one of them out breaks the document.
namespace ProjectReferences {

enum class Kind {
    latexDocument,  // ".tex"
    videoProject,   // ".kdenlive", ".mlt", ".osp"
};
std::optional<Kind> kindOf(std::string_view fileName);

// The existing files the LaTeX document at `path` includes, with those its included documents
// include, found where LaTeX looks (beside the document, in its graphics paths, with the extensions
// it tries); nothing when it is no document of its own (no \documentclass), or cannot be read.
std::vector<std::string> includedByDocument(const std::string& path);

// The paths the video project at `path` names for its clips, made absolute from the project's own
// root or folder; they need not exist. Nothing when it cannot be read.
std::vector<std::string> namedByVideoProject(const std::string& path);

}  // namespace ProjectReferences
