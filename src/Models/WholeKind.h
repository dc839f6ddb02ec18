#pragma once

// A folder whose files belong together: taking one file out breaks the rest, or is carried to
// other machines. Everything below such a folder is part of it.
enum class WholeKind {
    repository,    // a version control working tree or store: git, Mercurial, Subversion, Bazaar...
    environment,   // a language's environment or installed dependencies: a virtualenv, node_modules...
    buildOutput,   // a build's output or a tagged cache (CACHEDIR.TAG, a CMake build folder)
    packageStore,  // a package manager's store: Cargo, rustup, npm, Gradle, Maven, OSTree...
    gameLibrary,   // a game library or a Windows prefix
    syncFolder,    // a folder a sync client keeps in step with other machines
};
