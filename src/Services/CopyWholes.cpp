#include "Services/CopyWholes.h"

#include "Foundation/AsciiCase.h"
#include "Foundation/FileDescriptor.h"
#include "Foundation/IsPresent.h"
#include "Foundation/LiesWithin.h"
#include "Platform/DpkgDatabase.h"
#include "Platform/RealPath.h"
#include "Platform/SystemRoots.h"
#include "Platform/WholeMarkers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace {

// The sidecars programs write beside a file: XMP (Lightroom, darktable, digiKam), the raw
// developers' own (RawTherapee, DxO, ON1, ACDSee), and the game engines' import settings of an
// asset (Godot's "NAME.EXT.import", Unity's "NAME.EXT.meta").
constexpr std::array sidecarExtensions{std::string_view("xmp"), std::string_view("pp3"), std::string_view("dop"), std::string_view("on1"),
                                       std::string_view("arp"), std::string_view("import"), std::string_view("meta")};

// The system's own folders at the top of the file system; "lib" stands for every "lib*".
constexpr std::array unixTopFolders{std::string_view("usr"), std::string_view("etc"),  std::string_view("opt"), std::string_view("var"),
                                   std::string_view("boot"), std::string_view("srv"), std::string_view("bin"), std::string_view("sbin"),
                                   std::string_view("nix"), std::string_view("snap")};

// Machine folders no package installs into.
constexpr std::array unpackagedFolders{std::string_view("/media"), std::string_view("/mnt"), std::string_view("/run/media"), std::string_view("/tmp")};

// The paths the packages list below `searched`, read once for as long as the package database is
// unchanged: a search reads it only the first time, or after a package was installed or removed.
std::shared_ptr<const std::unordered_set<std::string>> listedBelow(const std::string& systemRoot, std::string_view searched) {
    struct Read {
        std::string key;
        struct timespec changed {};
        std::shared_ptr<const std::unordered_set<std::string>> paths;
    };
    static std::mutex lock;
    static Read last;
    struct stat info {};
    const std::string folder = (systemRoot == "/" ? std::string() : systemRoot) + "/var/lib/dpkg/info";
    const bool known = ::stat(folder.c_str(), &info) == 0;
    const std::string key = systemRoot + '\0' + std::string(searched);
    std::lock_guard guard(lock);
    if (!known || last.key != key || last.changed.tv_sec != info.st_mtim.tv_sec || last.changed.tv_nsec != info.st_mtim.tv_nsec || !last.paths)
        last = {key, info.st_mtim, std::make_shared<const std::unordered_set<std::string>>(DpkgDatabase::listedPaths(systemRoot, searched))};
    return last.paths;
}

// The name without its last extension, where it has one that is a sidecar's.
std::optional<std::string_view> sidecarBase(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return std::nullopt;
    const std::string_view extension = name.substr(dot + 1);
    if (std::none_of(sidecarExtensions.begin(), sidecarExtensions.end(), [&](std::string_view kind) { return equalIgnoringAsciiCase(kind, extension); }))
        return std::nullopt;
    return name.substr(0, dot);
}

bool within(std::string_view path, std::string_view folder) {
    if (folder == "/") return true;
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// A virtual machine's disk, by its format's mark at its start: QEMU's qcow, VMware's sparse VMDK,
// VirtualBox's VDI, Hyper-V's VHDX. A machine, or an overlay backed by it, breaks when it moves.
// Only files named as such disks are opened; one that cannot be read counts.
bool isMachineDisk(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::string_view extension = dot == std::string::npos ? std::string_view() : std::string_view(path).substr(dot + 1);
    constexpr std::array diskExtensions{std::string_view("qcow2"), std::string_view("qcow"), std::string_view("vmdk"), std::string_view("vdi"),
                                        std::string_view("vhdx")};
    if (std::none_of(diskExtensions.begin(), diskExtensions.end(), [&](std::string_view kind) { return equalIgnoringAsciiCase(kind, extension); }))
        return false;
    const FileDescriptor disk(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    char head[72] = {};
    const ssize_t got = disk.isOpen() ? ::pread(disk.get(), head, sizeof head, 0) : -1;
    if (got < 0) return true;
    const std::string_view start(head, std::size_t(got));
    return start.starts_with("QFI\xfb") || start.starts_with("KDMV") || start.starts_with("vhdxfile") ||
           start.find("VirtualBox Disk Image") != std::string_view::npos;
}

}  // namespace

bool CopyWholes::keeps(std::string_view entryName) { return WholeMarkers::mayMark(entryName) || sidecarBase(entryName); }

CopyWholes::CopyWholes(std::string root, const std::unordered_map<std::string, std::vector<DirectoryEntry>>& kept)
    : root_(std::move(root)), kept_(kept) {
    const SystemRoots roots = SystemRoots::current();
    systemRoot_ = roots.root.lexically_normal().native();
    while (systemRoot_.size() > 1 && systemRoot_.back() == '/') systemRoot_.pop_back();
    homes_.push_back(roots.home.lexically_normal().native());
    if (const auto real = realPath(roots.home)) homes_.push_back(real->native());
    // Where the homes lie in a system folder ("/home" a link to "/var/home"), they stay the users'.
    if (const auto real = realPath(roots.root / "home")) homes_.push_back(real->native());
}

std::optional<UntickedReason> CopyWholes::of(const std::string& path) {
    if (const std::optional<WholeKind> whole = folderWhole(folderOfText(path))) return partOf(*whole);
    if (isSystemFile(path)) return UntickedReason::systemFile;
    if (isMachineDisk(path)) return UntickedReason::applicationData;
    if (standsWithSidecar(path)) return UntickedReason::photoSidecar;
    return std::nullopt;
}

// A folder's whole is its own, or its parent's: each folder is looked at once, up to the top.
std::optional<WholeKind> CopyWholes::folderWhole(const std::string& folder) {
    return folders_.of(folder, [&] {
        std::optional<WholeKind> whole = ownWhole(folder);
        if (!whole && folder != "/") whole = folderWhole(folderOfText(folder));
        return whole;
    });
}

std::optional<WholeKind> CopyWholes::ownWhole(const std::string& folder) const {
    if (!within(folder, root_)) return WholeMarkers::wholeMarkedAt(folder);
    const std::string_view name = std::string_view(folder).substr(folder.rfind('/') + 1);
    const auto kept = kept_.find(folder);
    if (kept == kept_.end()) return WholeMarkers::wholeMarked(-1, name, {});
    const FileDescriptor opened(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    return WholeMarkers::wholeMarked(opened.get(), name, kept->second);
}

// In the system's folders outside the homes, or listed by an installed package, whoever searches.
bool CopyWholes::isSystemFile(const std::string& path) {
    if (std::any_of(homes_.begin(), homes_.end(), [&](const std::string& home) { return within(path, home); })) return false;
    if (!within(path, systemRoot_)) return false;
    const std::string_view inside = std::string_view(path).substr(systemRoot_ == "/" ? 0 : systemRoot_.size());
    const std::string_view top = inside.substr(1, inside.find('/', 1) - 1);
    if (inside.find('/', 1) != std::string_view::npos &&
        (top.starts_with("lib") || std::find(unixTopFolders.begin(), unixTopFolders.end(), top) != unixTopFolders.end()))
        return true;
    // No package puts a file where drives are mounted or in the scratch folder.
    if (std::any_of(unpackagedFolders.begin(), unpackagedFolders.end(), [&](std::string_view folder) { return within(inside, folder); })) return false;
    std::call_once(listedOnce_, [&] {
        const std::string_view searched = within(root_, systemRoot_) ? std::string_view(root_).substr(systemRoot_ == "/" ? 0 : systemRoot_.size()) : "/";
        listed_ = listedBelow(systemRoot_, searched.empty() ? "/" : searched);
    });
    return listed_->contains(std::string(inside));
}

// A photo with its sidecar beside it ("IMG_1.CR2" with "IMG_1.CR2.xmp" or "IMG_1.xmp"), or a
// sidecar with its photo beside it.
bool CopyWholes::standsWithSidecar(const std::string& path) const {
    const std::string folder = folderOfText(path);
    const std::string_view name = std::string_view(path).substr(path.rfind('/') + 1);
    if (const std::optional<std::string_view> base = sidecarBase(name)) {
        if (base->find('.') != std::string_view::npos) return isFileItself(folder + "/" + std::string(*base));
        // "IMG_1.xmp": a photo of any extension by that name.
        DIR* listing = ::opendir(folder.c_str());
        if (!listing) return true;  // not sure: counts
        bool found = false;
        while (const dirent* entry = ::readdir(listing)) {
            const std::string_view other = entry->d_name;
            if (other.size() > base->size() + 1 && other.starts_with(*base) && other[base->size()] == '.' && !sidecarBase(other)) found = true;
        }
        ::closedir(listing);
        return found;
    }
    const auto kept = kept_.find(folder);
    if (kept == kept_.end()) return false;
    const std::size_t dot = name.rfind('.');
    const std::string_view stem = dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
    return std::any_of(kept->second.begin(), kept->second.end(), [&](const DirectoryEntry& entry) {
        const std::optional<std::string_view> base = sidecarBase(entry.name);
        return entry.type == DirectoryEntry::Kind::file && base && (*base == name || *base == stem);
    });
}
