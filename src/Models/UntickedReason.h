#pragma once

#include "Models/WholeKind.h"

// Why the duplicate finder leaves a copy, and with it its whole group, unticked for the user to decide.
enum class UntickedReason {
    backup,        // it has other names, or lies in a backup made with hard links
    sharedBlocks,  // every block it takes is shared with another file: moving it frees nothing
    repository,    // the rest name a whole it is part of
    environment,
    buildOutput,
    packageStore,
    gameLibrary,
    syncFolder,
    applicationData,
    photoSidecar,  // a file with its sidecar beside it (a photo's, a game engine's), or a sidecar beside its file
    projectPart,   // in a project whose files belong together: a site, an unpacked book, a session, a document with its figures
    usedByProject,  // a file a video editor's project names by its path
    albumArt,      // an image beside the audio files of an album
    userTemplate,  // in the user's Templates folder, which the desktop offers for new documents
    systemFile,    // in the system's own folders, or a file an installed package lists
    outsideYourFolders,  // outside the user's own files (see UserOwnFiles): where programs and other users keep theirs
    programInstall,      // inside a program's install
    applicationFolder,   // inside a hidden folder of the home or the searched folder, or ~/snap: an application's data
};

inline UntickedReason partOf(WholeKind whole) {
    switch (whole) {
    case WholeKind::repository: return UntickedReason::repository;
    case WholeKind::environment: return UntickedReason::environment;
    case WholeKind::buildOutput: return UntickedReason::buildOutput;
    case WholeKind::packageStore: return UntickedReason::packageStore;
    case WholeKind::gameLibrary: return UntickedReason::gameLibrary;
    case WholeKind::syncFolder: return UntickedReason::syncFolder;
    case WholeKind::applicationData: return UntickedReason::applicationData;
    }
    return UntickedReason::repository;
}
