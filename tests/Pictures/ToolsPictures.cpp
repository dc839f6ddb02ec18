#include "Pictures/PictureRegistry.h"

#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"

#include "Services/AppState.h"
#include "Services/ToolMoveMessage.h"
#include "Views/Tools/DuplicateFinderView.h"
#include "Views/Tools/DuplicateGroupRow.h"
#include "Views/Tools/SmartCleanupView.h"
#include "Views/Tools/ToolsTrashButton.h"
#include "Views/Tools/ToolsView.h"
#include "ViewSupport/ToolsFixture.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

using Path = std::filesystem::path;

std::unique_ptr<QWidget> toolsOn(AppState& state, ValueTool tool, bool openFirstGroup = false) {
    auto view = std::make_unique<ToolsView>(state);
    view->selectTool(tool);
    if (openFirstGroup)
        if (auto* row = view->findChild<DuplicateGroupRow*>()) row->setExpanded(true);
    return view;
}

// A move in which the first `count` items went.
TrashResult movedItems(std::size_t count) {
    TrashResult result;
    for (std::size_t position = 0; position < count; ++position) result.moved.push_back(position);
    return result;
}

// The message of a move that left some items because they changed after the search, as the app
// words it in the language of the picture, with what the items that went take and free.
QString movedWithChangedItems(std::size_t moved, const TrashFigures& figures, const std::vector<Path>& changed) {
    TrashResult result = movedItems(moved);
    result.changed = changed;
    return toolMoveMessage(result, figures);
}

// A move of many items, some of which the Trash refused: one in the Trash already, others on a drive
// without a Trash or not the user's to move.
QString movedWithRefusedItems() {
    const Path home = "/home/maya";
    TrashResult result = movedItems(4);
    result.failed.emplace_back(TrashError::Reason::trashFolder, home / ".local/share/Trash/files/holiday-2024.mp4", EINVAL);
    result.failed.emplace_back(TrashError::Reason::noTrash, "/media/maya/CAMERA/DCIM/holiday-2024 (1).mp4");
    for (const char* name : {"01 - Opening.flac", "02 - Overture.flac", "03 - Interlude.flac", "04 - Finale.flac", "05 - Encore.flac"})
        result.failed.emplace_back(TrashError::Reason::moveFailed, Path("/srv/shared/Music/Copy of Album") / name, EACCES);
    return toolMoveMessage(result, {2'310'000'000, 2'310'000'000, false});
}

std::vector<DuplicateGroup> someGroups() {
    const Path home = "/home/maya";
    return {
        ToolsFixture::group("a1", 1'480'000'000, {home / "Videos/holiday-2024.mp4", home / "Downloads/holiday-2024 (1).mp4", home / "Backup/holiday-2024.mp4"}),
        ToolsFixture::group("b2", 356'000'000, {home / "Downloads/ubuntu-24.04-desktop-amd64.iso", home / "ISOs/ubuntu-24.04-desktop-amd64.iso"}),
        ToolsFixture::group("c3", 48'200'000, {home / "Music/Album/01 - Opening.flac", home / "Music/Copy of Album/01 - Opening.flac"}),
        ToolsFixture::group("d4", 4'800'000, {home / "Pictures/IMG_2041.jpg", home / "Pictures/Phone/IMG_2041.jpg", home / "Desktop/IMG_2041.jpg",
                                              home / "Documents/IMG_2041.jpg"}),
        ToolsFixture::group("e5", 920'000, {home / "Documents/report-final.pdf", home / "Documents/report-final (copy).pdf"}),
    };
}

// A photo folder with a hard-linked backup and a plain copy on the Desktop, an older backup linked
// the same way, and a disk image that holds 1 MiB in 512 MiB.
std::vector<DuplicateGroup> linkedGroups() {
    const Path home = "/home/maya";
    auto linked = [](DuplicateGroup group, std::initializer_list<std::size_t> positions) {
        for (std::size_t index : positions) {
            FileIdentity identity;
            identity.links = 2;
            group.files[index].identity = identity;
            group.files[index].untickedReason = UntickedReason::backup;
        }
        return group;
    };
    DuplicateGroup image = ToolsFixture::group("h8", 536'870'912, {home / "VMs/test-disk.img", home / "Backup/VMs/test-disk.img"});
    for (ScannedFile& copy : image.files) copy.size = 1'048'576;
    return {
        linked(ToolsFixture::group("f6", 4'800'000, {home / "Backup-Pictures/2023/IMG_0412.jpg", home / "Backup-2022/2023/IMG_0412.jpg",
                                                     home / "Desktop/photos-copy/IMG_0412.jpg"}),
               {0, 1}),
        linked(ToolsFixture::group("g7", 3'900'000, {home / "Backup-Pictures/2023/IMG_0413.jpg", home / "Desktop/photos-copy/IMG_0413.jpg"}), {0}),
        image,
    };
}

// A home with backups: a song whose backup is a hard link (rsnapshot), a document whose backup was
// copied anew into a generation of linked files (rsync --link-dest), a photo copied by a file manager
// on btrfs (its blocks shared), and two downloads of one date that nothing tells apart, beside a
// plain copy that is ticked.
std::vector<DuplicateGroup> backupGroups() {
    const Path home = "/home/maya";
    DuplicateGroup song = ToolsFixture::group("i9", 48'200'000, {home / "Backups/rsnapshot/daily.0/home/maya/Music/Album/02 - Waltz.flac",
                                                                 home / "Music/Album/02 - Waltz.flac"});
    song.files[0].identity = FileIdentity{};
    song.files[0].identity->links = 3;
    song.files[0].untickedReason = UntickedReason::backup;
    DuplicateGroup thesis = ToolsFixture::group("j10", 2'400'000, {home / "Documents/thesis.odt", home / "Backups/TimeMachine/2026-01-02/Documents/thesis.odt"});
    thesis.files[1].untickedReason = UntickedReason::backup;
    DuplicateGroup raw = ToolsFixture::group("k11", 24'600'000, {home / "Pictures/Trip/DSC_0042.NEF", home / "Pictures/Trip (copy)/DSC_0042.NEF"});
    raw.files[1].sharedBytes = raw.files[1].size;
    raw.files[1].untickedReason = UntickedReason::sharedBlocks;
    DuplicateGroup setup = ToolsFixture::group("l12", 1'900'000, {home / "Downloads/setup.tar.gz", home / "Downloads/old/setup.tar.gz"});
    setup.files[1].modifiedAt = setup.files[0].modifiedAt;
    return {song, raw, thesis, setup, ToolsFixture::group("e5", 920'000, {home / "Documents/report-final.pdf", home / "Documents/report-final (copy).pdf"})};
}

// A developer's, gamer's and photographer's home: a group reaching into each kind of whole, beside
// a loose pair that is ticked.
std::vector<DuplicateGroup> wholeGroups() {
    const Path home = "/home/maya";
    auto inWhole = [](DuplicateGroup group, UntickedReason reason, Path within = {}) {
        group.files[1].untickedReason = reason;
        group.files[1].untickedWithin = within;
        return group;
    };
    return {
        inWhole(ToolsFixture::group("w1", 3'100'000, {home / "Downloads/UnityPlayer.so", home / ".local/share/Steam/steamapps/common/Hollow/UnityPlayer.so"}),
                UntickedReason::gameLibrary),
        inWhole(ToolsFixture::group("w2", 2'900'000, {home / "code/quarry/README.pdf", home / "code/quarry-fork/README.pdf"}), UntickedReason::repository),
        inWhole(ToolsFixture::group("w3", 2'600'000, {home / "Pictures/2025/DSC_0100.NEF", home / "Pictures/import/DSC_0100.NEF"}), UntickedReason::photoSidecar),
        inWhole(ToolsFixture::group("w4", 2'200'000, {home / "Downloads/lodash.tgz", home / "code/web/node_modules/lodash/lodash.tgz"}), UntickedReason::environment),
        inWhole(ToolsFixture::group("w5", 1'800'000, {home / "Downloads/paper.pdf", home / "Sync/papers/paper.pdf"}), UntickedReason::syncFolder),
        inWhole(ToolsFixture::group("w6", 1'500'000, {home / "Downloads/libssl.so.3", "/usr/lib/x86_64-linux-gnu/libssl.so.3"}), UntickedReason::systemFile),
        inWhole(ToolsFixture::group("w7", 1'200'000, {home / "code/rs/data.bin", home / "code/rs/target/debug/data.bin"}), UntickedReason::buildOutput),
        inWhole(ToolsFixture::group("w8", 1'000'000, {home / "Downloads/serde.crate", home / ".cargo/registry/cache/serde.crate"}), UntickedReason::packageStore),
        inWhole(ToolsFixture::group("w10", 850'000, {home / "Downloads/stat_linux.go", home / "sdk/go1.21.5/src/os/stat_linux.go"}), UntickedReason::programInstall,
                home / "sdk/go1.21.5"),
        inWhole(ToolsFixture::group("w11", 800'000, {home / "Downloads/ublock.xpi", home / ".mozilla/firefox/a1.default/extensions/ublock@x.xpi"}),
                UntickedReason::applicationFolder, home / ".mozilla"),
        inWhole(ToolsFixture::group("w12", 760'000, {home / "Documents/score.pdf", home / "Scores/score.pdf"}), UntickedReason::outsideYourFolders),
        inWhole(ToolsFixture::group("w13", 720'000, {home / "Downloads/banner.jpg", home / "Sites/blog/content/posts/first/banner.jpg"}),
                UntickedReason::projectPart, home / "Sites/blog"),
        inWhole(ToolsFixture::group("w14", 700'000, {home / "Videos/raw/clip-04.mp4", home / "Downloads/clip-04.mp4"}), UntickedReason::usedByProject,
                home / "Videos/film.kdenlive"),
        inWhole(ToolsFixture::group("w15", 680'000, {home / "Music/Radiohead/OK Computer/CD1/cover.jpg", home / "Music/Radiohead/OK Computer/CD2/cover.jpg"}),
                UntickedReason::albumArt),
        inWhole(ToolsFixture::group("w16", 660'000, {home / "Documents/Letter.odt", home / "Templates/Letter.odt"}), UntickedReason::userTemplate),
        inWhole(ToolsFixture::group("w17", 640'000, {"/media/maya/Windows/Users/Maya/Pictures/icon.png",
                                                     "/media/maya/Windows/Users/Maya/AppData/Local/Google/Chrome/User Data/Default/Extensions/abc/1.0_0/icon.png"}),
                UntickedReason::applicationFolder, "/media/maya/Windows/Users/Maya/AppData"),
        ToolsFixture::group("w9", 900'000, {home / "Documents/invoice.pdf", home / "Downloads/invoice.pdf"}),
    };
}

}  // namespace

static const PictureRegistration tools("tools", [](PictureContext& pictures) {
    {
        ToolsFixture fixture;
        pictures.render("tools-duplicates-notsearched", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::duplicates); });
        DuplicateCall& search = fixture.startDuplicates();
        pictures.render("tools-duplicates-preparing", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::duplicates); });
        search.progress({DuplicateScanPhase::comparing, "/home/maya/Videos/holiday-2024.mp4", 18'240, 40'000, 9'400'000'000, 21'700'000'000, 0});
        waitUntil([&] { return fixture.state().duplicateProgress() && fixture.state().duplicateProgress()->filesProcessed == 18'240; });
        pictures.render("tools-duplicates-searching", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::duplicates); });
        for (const DuplicateGroup& group : someGroups()) search.foundGroup(group);
        search.progress({DuplicateScanPhase::comparing, "/home/maya/Music/Album/01 - Opening.flac", 31'000, 40'000, 15'100'000'000, 21'700'000'000, 5});
        waitUntil([&] { return fixture.state().duplicateGroups().size() == 5; });
        pictures.render("tools-duplicates-streaming", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::duplicates); });
        search.succeed(someGroups());
        waitUntil([&] { return !fixture.state().isToolWorking(); });
        pictures.render("tools-duplicates-results", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::duplicates, true); });
        pictures.render("tools-duplicates-changed", PictureContext::windowSize, [&] {
            fixture.state().setSelectedToolItems({});  // a move ends with nothing ticked
            auto view = toolsOn(fixture.state(), ValueTool::duplicates);
            fixture.state().setToolMessage(movedWithChangedItems(
                3, {1'840'000'000, 1'480'000'000, false}, {"/home/maya/Downloads/holiday-2024 (1).mp4", "/home/maya/Music/Copy of Album/01 - Opening.flac"}));
            drawAlertInto(view.get());
            return view;
        });
        fixture.state().setToolMessage(std::nullopt);
        pictures.render("tools-duplicates-notmoved", PictureContext::windowSize, [&] {
            auto view = toolsOn(fixture.state(), ValueTool::duplicates);
            fixture.state().setToolMessage(movedWithRefusedItems());
            drawAlertInto(view.get());
            return view;
        });
        fixture.state().setToolMessage(std::nullopt);
        const std::vector<Path> unread{"/home/maya/Videos/Locked/family-2019.mkv", "/home/maya/Videos/Locked/family-2020.mkv",
                                       "/home/maya/Downloads/broken-disk-image.img"};
        fixture.finishDuplicates(someGroups(), unread);
        pictures.render("tools-duplicates-notcompared", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::duplicates); });
        fixture.finishDuplicates({});
        pictures.render("tools-duplicates-nonefound", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::duplicates); });
        fixture.finishDuplicates({}, {unread[0]});
        pictures.render("tools-duplicates-nonefound-notcompared", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::duplicates); });
        fixture.finishDuplicates(linkedGroups());
        pictures.render("tools-duplicates-linked", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::duplicates, true); });
        fixture.finishDuplicates(backupGroups());
        auto everyGroupOpen = [&] {
            auto view = toolsOn(fixture.state(), ValueTool::duplicates);
            for (DuplicateGroupRow* row : view->findChildren<DuplicateGroupRow*>()) row->setExpanded(true);
            return view;
        };
        pictures.render("tools-duplicates-backup", PictureContext::windowSize, everyGroupOpen);
        pictures.render("tools-duplicates-backup-full", PictureContext::windowSize, everyGroupOpen, {.fullLength = true, .inspect = {}});
        fixture.finishDuplicates(wholeGroups());
        pictures.render("tools-duplicates-wholes", PictureContext::windowSize, everyGroupOpen);
        pictures.render("tools-duplicates-wholes-full", PictureContext::windowSize, everyGroupOpen, {.fullLength = true, .inspect = {}});
        fixture.finishDuplicates(linkedGroups());
        // The user ticks the copy with another name too: the question says it frees nothing.
        std::set<std::string> ticked = fixture.state().selectedToolItems();
        ticked.insert("/home/maya/Backup-2022/2023/IMG_0412.jpg");
        fixture.state().setSelectedToolItems(ticked);
        pictures.render("tools-duplicates-linked-confirm", PictureContext::windowSize, [&] {
            auto view = toolsOn(fixture.state(), ValueTool::duplicates, true);
            drawAlertInto(view.get());
            view->findChild<DuplicateFinderView*>()->trashButton()->click();
            return view;
        });
    }
    {
        ToolsFixture fixture;
        const Path home = "/home/maya";
        fixture.loadCleanup({
            ToolsFixture::candidate(home / ".cache/mozilla", 1'240'000'000, CleanupSafety::safe),
            ToolsFixture::candidate(home / ".cache/thumbnails", 412'000'000, CleanupSafety::safe),
            ToolsFixture::candidate(home / "Downloads/setup-tool_3.2.1_amd64.deb", 96'000'000, CleanupSafety::review, "cleanup.installers.detail"),
            ToolsFixture::candidate(home / ".local/state/app/logs", 24'000'000, CleanupSafety::safe, "cleanup.logs.detail"),
        });
        pictures.render("tools-cleanup-results", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::cleanup); });
        {
            // A uv cache whose files a project's environment links to, and pnpm's store linked into projects.
            ToolsFixture linked;
            CleanupCandidate uv = ToolsFixture::candidate(home / ".cache/uv", 123'900'000, CleanupSafety::safe);
            uv.freed.singleNamedBytes = 9'400'000;
            CleanupCandidate pnpm = ToolsFixture::candidate(home / ".cache/pnpm", 37'900'000, CleanupSafety::safe);
            pnpm.freed.singleNamedBytes = 0;
            linked.loadCleanup({uv, pnpm, ToolsFixture::candidate(home / ".cache/thumbnails", 12'000'000, CleanupSafety::safe)});
            pictures.render("tools-cleanup-linked", PictureContext::windowSize, [&] { return toolsOn(linked.state(), ValueTool::cleanup); });
            // The question says what goes to the Trash and what emptying it frees.
            const auto confirmationOn = [](AppState& state) {
                auto view = toolsOn(state, ValueTool::cleanup);
                drawAlertInto(view.get());
                view->findChild<SmartCleanupView*>()->trashButton()->click();
                return view;
            };
            pictures.render("tools-cleanup-linked-confirm", PictureContext::windowSize, [&] { return confirmationOn(linked.state()); });
            // Logs on btrfs with compress=zstd: they free less than their size.
            ToolsFixture compressed;
            CleanupCandidate logs = ToolsFixture::candidate(home / ".cache/textlogs", 314'600'000, CleanupSafety::safe);
            logs.freed.upTo = true;
            compressed.loadCleanup({logs, ToolsFixture::candidate(home / ".cache/thumbnails", 12'000'000, CleanupSafety::safe)});
            pictures.render("tools-cleanup-compressed", PictureContext::windowSize, [&] { return toolsOn(compressed.state(), ValueTool::cleanup); });
            pictures.render("tools-cleanup-compressed-confirm", PictureContext::windowSize, [&] { return confirmationOn(compressed.state()); });
            pictures.render("tools-cleanup-linked-full", PictureContext::windowSize, [&] { return toolsOn(linked.state(), ValueTool::cleanup); },
                            {.fullLength = true, .inspect = {}});
            pnpm.freed.singleNamedBytes = 13'500'000;
            linked.loadDeveloper({pnpm, ToolsFixture::candidate(home / ".npm/_cacache", 34'100'000, CleanupSafety::safe, "developer.npm.detail")});
            pictures.render("tools-developer-linked", PictureContext::windowSize, [&] { return toolsOn(linked.state(), ValueTool::developer); });
            pictures.render("tools-developer-linked-full", PictureContext::windowSize, [&] { return toolsOn(linked.state(), ValueTool::developer); },
                            {.fullLength = true, .inspect = {}});
            // A conda package and its environment's name of the same file; and a reflinked copy.
            const Instant old = Instant::fromUnixSeconds(1'690'000'000);
            FileIdentity twoNames;
            twoNames.device = 2049;
            twoNames.inode = 77;
            twoNames.links = 2;
            twoNames.type = S_IFREG;
            ScannedFile package = ToolsFixture::file(home / "miniconda3/pkgs/libtorch-2.1/lib/libtorch_cpu.so", 75'500'000, old);
            package.identity = twoNames;
            ScannedFile environment = ToolsFixture::file(home / "miniconda3/envs/ml/lib/libtorch_cpu.so", 75'500'000, old);
            environment.identity = twoNames;
            ScannedFile reflinked = ToolsFixture::file(home / "Videos/talk-copy.mkv", 40'000'000, old);
            reflinked.sharedBytes = 40'000'000;
            linked.findForgotten({package, environment, reflinked, ToolsFixture::file(home / "Videos/talk.webm", 22'000'000, old)});
            pictures.render("tools-forgotten-linked", PictureContext::windowSize, [&] { return toolsOn(linked.state(), ValueTool::forgotten); });
            pictures.render("tools-forgotten-linked-full", PictureContext::windowSize, [&] { return toolsOn(linked.state(), ValueTool::forgotten); },
                            {.fullLength = true, .inspect = {}});
        }
        // Folders in use, run, linked into, holding a whole or a program, not the user's to move, the
        // desktop's own or a mount: listed for review, each with its reason.
        auto reviewed = [&](const char* folder, std::int64_t size, CleanupReason reason, const char* detail = "") {
            CleanupCandidate candidate = ToolsFixture::candidate(home / ".cache" / folder, size, CleanupSafety::review);
            candidate.reason = reason;
            candidate.reasonDetail = QString::fromUtf8(detail);
            return candidate;
        };
        const std::vector<CleanupCandidate> withReasons{
            reviewed("huggingface", 14'200'000'000, CleanupReason::inUse, "python3.12"),
            reviewed("pypoetry", 2'300'000'000, CleanupReason::runsProgram, "invoice-tool"),
            ToolsFixture::candidate(home / ".cache/mozilla", 1'240'000'000, CleanupSafety::safe),
            reviewed("yay", 910'000'000, CleanupReason::holdsWhole, "cleanup.whole.repository"),
            reviewed("evolution", 530'000'000, CleanupReason::inUse, "evolution-source-registry"),
            ToolsFixture::candidate(home / ".cache/pip", 420'000'000, CleanupSafety::safe),
            reviewed("tracker3", 212'000'000, CleanupReason::desktopOwn),
            reviewed("Google", 180'000'000, CleanupReason::holdsWhole, "cleanup.whole.applicationData"),
            reviewed("R", 170'000'000, CleanupReason::linked, "~/rproj/renv/library"),
            reviewed("puppeteer", 160'000'000, CleanupReason::holdsProgram),
            reviewed("aliased", 155'000'000, CleanupReason::runsProgram, ".bashrc"),
            reviewed("virtualenvs", 150'000'000, CleanupReason::holdsWhole, "cleanup.whole.environment"),
            reviewed("torch", 120'000'000, CleanupReason::notRebuilt),
            reviewed("vim", 118'000'000, CleanupReason::unsavedWork, "~/.cache/vim/swap/%home%maya%thesis.tex.swp"),
            reviewed("nvim", 112'000'000, CleanupReason::editHistory, "~/.cache/nvim/undo/%home%maya%notes.md"),
            reviewed("rclone", 96'000'000, CleanupReason::mount),
            [&] {
                CleanupCandidate mixed = reviewed("mixed", 1'000'000, CleanupReason::cannotMove, "~/.cache/mixed/root");
                mixed.unreadableFolders = 3;
                return mixed;
            }(),
        };
        fixture.loadCleanup(withReasons);
        pictures.render("tools-cleanup-review", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::cleanup); });
        pictures.render("tools-cleanup-review-full", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::cleanup); },
                        {.fullLength = true, .inspect = {}});
        // Scanned again while shown: a cache grew to the top, the installer became safe, the logs went.
        const std::vector<CleanupCandidate> cleanup = fixture.state().cleanupCandidates();
        pictures.render("tools-cleanup-reloaded", PictureContext::windowSize, [&] {
            fixture.loadCleanup(cleanup);
            auto view = toolsOn(fixture.state(), ValueTool::cleanup);
            fixture.loadCleanup({
                ToolsFixture::candidate(home / ".cache/thumbnails", 3'100'000'000, CleanupSafety::safe),
                ToolsFixture::candidate(home / ".cache/mozilla", 1'240'000'000, CleanupSafety::safe),
                ToolsFixture::candidate(home / "Downloads/setup-tool_3.2.1_amd64.deb", 96'000'000, CleanupSafety::safe, "cleanup.installers.detail"),
            });
            return view;
        });
        fixture.loadDeveloper({
            ToolsFixture::candidate(home / ".npm/_cacache", 2'100'000'000, CleanupSafety::safe, "developer.npm.detail"),
            ToolsFixture::candidate(home / ".gradle/caches", 1'300'000'000, CleanupSafety::safe, "developer.gradle.detail"),
            ToolsFixture::candidate(home / ".cache/yarn", 640'000'000, CleanupSafety::review, "developer.yarn.detail"),
        });
        pictures.render("tools-developer-results", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::developer); });
        const Instant old = Instant::fromUnixSeconds(1'700'000'000);
        fixture.findForgotten({
            ToolsFixture::file(home / "Videos/screen-recording-2023-03.mkv", 3'200'000'000, old),
            ToolsFixture::file(home / "Downloads/dataset-archive.tar.gz", 1'100'000'000, old.addingSeconds(86'400 * 30)),
            ToolsFixture::file(home / "Documents/old-vm-disk.qcow2", 820'000'000, std::nullopt),
        });
        pictures.render("tools-forgotten-results", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::forgotten); });
        pictures.render("tools-forgotten-changed", PictureContext::windowSize, [&] {
            auto view = toolsOn(fixture.state(), ValueTool::forgotten);
            fixture.state().setToolMessage(movedWithChangedItems(1, {1'100'000'000, 1'100'000'000, false}, {home / "Documents/old-vm-disk.qcow2"}));
            drawAlertInto(view.get());
            return view;
        });
        fixture.state().setToolMessage(std::nullopt);
        pictures.render("tools-forgotten-notmoved", PictureContext::windowSize, [&] {
            auto view = toolsOn(fixture.state(), ValueTool::forgotten);
            TrashResult result = movedItems(1);
            result.changed = {home / "Documents/old-vm-disk.qcow2"};
            result.failed.emplace_back(TrashError::Reason::moveFailed, home / "Videos/screen-recording-2023-03.mkv", EACCES);
            fixture.state().setToolMessage(toolMoveMessage(result, {1'100'000'000, 1'100'000'000, false}));
            drawAlertInto(view.get());
            return view;
        });
        fixture.state().setToolMessage(std::nullopt);
        // Searched again while shown: a file rewritten larger and dated back, another lost its date.
        const std::vector<ScannedFile> forgotten = fixture.state().forgottenFiles();
        pictures.render("tools-forgotten-reloaded", PictureContext::windowSize, [&] {
            fixture.findForgotten(forgotten);
            auto view = toolsOn(fixture.state(), ValueTool::forgotten);
            fixture.findForgotten({
                ToolsFixture::file(home / "Documents/old-vm-disk.qcow2", 30'000'000'000, Instant::fromUnixSeconds(1'672'531'200)),
                ToolsFixture::file(home / "Videos/screen-recording-2023-03.mkv", 3'200'000'000, std::nullopt),
                ToolsFixture::file(home / "Downloads/dataset-archive.tar.gz", 1'100'000'000, old.addingSeconds(86'400 * 30)),
            });
            return view;
        });
        // With a user's entry the desktop cannot read and one too large to read: no switch, and a reason.
        StartupItem refused = ToolsFixture::startupItem(home / ".config/autostart/backup-helper.desktop", "Backup Helper", false, true);
        refused.readingProblem = AppLocalization::format("startup.problem.badLine", {7});
        StartupItem unknown = ToolsFixture::startupItem(home / ".config/autostart/huge-entry.desktop", "huge-entry", false, true);
        unknown.isKnown = false;
        unknown.readingProblem = AppLocalization::format("startup.problem.tooLarge", {ByteFormatting::string(std::int64_t(16) << 20)});
        // An entry for another desktop says so; one item of two files names both.
        StartupItem kdeOnly = ToolsFixture::startupItem(home / ".config/autostart/org.kde.kdeconnect.daemon.desktop", "KDE Connect", false, true);
        kdeOnly.desktopNote = AppLocalization::format("startup.onlyOn", {QStringLiteral("KDE")});
        StartupItem twoFiles = ToolsFixture::startupItem(home / ".config/autostart/dropbox.desktop", "Dropbox", true, true);
        twoFiles.otherFiles = {home / ".config/autostart/dropbox.disabled"};
        fixture.loadStartup({
            kdeOnly,
            twoFiles,
            refused,
            ToolsFixture::startupItem(home / ".config/autostart/chat.desktop.disabled", "Chat", false, true),
            unknown,
            ToolsFixture::startupItem("/etc/xdg/autostart/print-applet.desktop", "Print Applet", true, false),
            ToolsFixture::startupItem(home / ".config/autostart/syncthing.desktop", "Syncthing", true, true),
        });
        pictures.render("tools-startup-results", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::startup); });
        pictures.render("tools-history-onerecord", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::history); });
        for (int day = 1; day <= 20; ++day) fixture.recordDay(day, 300'000'000'000 + day * (day % 3 == 0 ? -900'000'000 : 1'400'000'000), 190'000'000'000);
        fixture.recordScan(home, {{"Videos", 80'000'000'000}, {"Downloads", 12'000'000'000}, {"Projects", 30'000'000'000}});
        fixture.recordScan(home, {{"Videos", 81'000'000'000}, {"Downloads", 10'000'000'000}, {"Projects", 30'500'000'000}});
        pictures.render("tools-history-changes", QSize(1320, 1100), [&] { return toolsOn(fixture.state(), ValueTool::history); });
        // A scan that counted hidden files after scans that did not: nothing compared, and the card says why.
        fixture.recordScan(home, {{"Videos", 81'000'000'000}, {"Projects", 30'500'000'000}, {".cache", 6'000'000'000}, {".local", 1'100'000'000}}, true);
        const auto history = [&] { return toolsOn(fixture.state(), ValueTool::history); };
        pictures.render("tools-history-hiddendiffers", PictureContext::windowSize, history);
        pictures.render("tools-history-hiddendiffers-full", PictureContext::windowSize, history, {.fullLength = true, .inspect = {}});
    }
    {
        // A scan after scans that counted a file once per name: nothing compared, and the card says why.
        const Path home = "/home/maya";
        ScanHistoryRecord earlier{Uuid::random(), Instant::fromUnixSeconds(1'767'000'000), QString::fromStdString(home.string()), 151'000'000'000, 3, 1,
                                  {{QString::fromStdString((home / "Backups").string()), "Backups", QString::fromStdString((home / "Backups").string()), 151'000'000'000, 3}}};
        QJsonObject stored = earlier.toJson();
        stored.remove("countsHardLinksOnce");
        ToolsFixture fixture(QJsonDocument(QJsonArray{stored}).toJson(QJsonDocument::Compact));
        fixture.recordScan(home, {{"Backups", 52'000'000'000}});
        pictures.render("tools-history-hardlinksdiffer", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::history); });
    }
    {
        // Empty panes while another tool works: the working cards.
        ToolsFixture fixture;
        fixture.startDuplicates();
        for (ValueTool tool : {ValueTool::cleanup, ValueTool::forgotten, ValueTool::startup})
            pictures.render(QStringLiteral("tools-%1-working").arg(rawText(tool)), PictureContext::windowSize,
                            [&] { return toolsOn(fixture.state(), tool); });
    }
    {
        ToolsFixture fixture;
        fixture.findForgotten({});
        pictures.render("tools-forgotten-empty", PictureContext::windowSize, [&] { return toolsOn(fixture.state(), ValueTool::forgotten); });
    }
});
