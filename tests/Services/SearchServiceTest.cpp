#include "Services/SearchService.h"

#include "Models/AppLocalization.h"
#include "Platform/SettingsStore.h"
#include "Support/FakeTool.h"
#include "Support/ForkedChild.h"
#include "Support/TempTree.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fnmatch.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <set>
#include <sstream>

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<std::string> splitAtNul(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == '\0') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    return parts;
}

std::vector<std::string> hitPaths(const std::vector<SearchHit>& hits) {
    std::vector<std::string> paths;
    for (const auto& hit : hits) paths.push_back(hit.path.native());
    return paths;
}

// A fake index program: records its arguments, prints the paths listed in "printed" (NUL-separated)
// and whatever `extra` adds. Its temporary folder has a parent of its own so leftovers show.
class SearchServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        setup.index.database = tree.write("index/plocate.db", "");
        setup.temporaryParent = tree.folder("tmp");
        useTool("");
    }

    void useTool(const std::string& extra) {
        setup.index.program = writeFakeTool(tree.path() / "bin/plocate",
                                            "printf '%s\\0' \"$@\" > '" + (tree.path() / "arguments").string() + "'\n"
                                            "cat '" + (tree.path() / "printed").string() + "' 2>/dev/null\n" + extra);
    }

    void print(const std::vector<std::filesystem::path>& paths) {
        std::string text;
        for (const auto& path : paths) text += path.native() + '\0';
        tree.write("printed", text);
    }

    std::vector<std::string> arguments() const { return splitAtNul(TempTree::read(tree.path() / "arguments")); }

    // The real index program on an index of the files under `root`, made with updatedb.
    std::optional<FileNameIndex> realIndexOf(const std::filesystem::path& root) {
        if (!std::filesystem::exists("/usr/bin/plocate") || !std::filesystem::exists("/usr/bin/updatedb")) return std::nullopt;
        auto database = tree.path() / "own.db";
        std::string command = "/usr/bin/updatedb --output '" + database.string() + "' --database-root '" + root.string() +
                              "' --require-visibility no --prunepaths '' --prunenames '' --prunefs ''";
        if (std::system(command.c_str()) != 0) return std::nullopt;
        return FileNameIndex{"/usr/bin/plocate", database};
    }

    SearchService::Outcome run(const QString& text, std::optional<std::filesystem::path> scope = std::nullopt,
                               SearchKind kind = SearchKind::all) {
        return SearchService::runIndexSearch(text, scope, kind, setup);
    }

    SearchFindings findings(const QString& text, std::optional<std::filesystem::path> scope = std::nullopt,
                            SearchKind kind = SearchKind::all) {
        auto outcome = run(text, scope, kind);
        if (auto* error = std::get_if<SearchServiceError>(&outcome)) ADD_FAILURE() << error->text.toStdString();
        auto* found = std::get_if<SearchFindings>(&outcome);
        return found ? *found : SearchFindings{};
    }

    std::vector<SearchHit> hits(const QString& text, std::optional<std::filesystem::path> scope = std::nullopt,
                                SearchKind kind = SearchKind::all) {
        return findings(text, scope, kind).hits;
    }

    SearchServiceError failure(const QString& text) {
        auto outcome = run(text);
        auto* failed = std::get_if<SearchServiceError>(&outcome);
        return failed ? *failed : SearchServiceError::queryFailed(QStringLiteral("<no error>"));
    }

    QString error(const QString& text) { return failure(text).description(); }

    bool temporaryFoldersGone() const { return std::filesystem::is_empty(setup.temporaryParent); }

    TempTree tree;
    SearchService::Setup setup;
};

}  // namespace

TEST(FileNameIndexArguments, EscapeGlobCharactersAndKeepTheRest) {
    FileNameIndex index{"/usr/bin/plocate", "/var/db:x\\y/plocate.db"};
    EXPECT_THAT(index.arguments("a\"b\\c*?[x]'$(y)"),
                ElementsAre("--database", "/var/db\\:x\\\\y/plocate.db", "--basename", "--ignore-case", "--null",
                            "--literal", "--", "*a\"b\\\\c*\\?\\[x\\]'$(y)*"));
    EXPECT_THAT(index.arguments("-rf"),
                ElementsAre("--database", "/var/db\\:x\\\\y/plocate.db", "--basename", "--ignore-case", "--null",
                            "--literal", "--", "-rf"));
    EXPECT_EQ(FileNameIndex::namePattern("back\\slash"), "*back\\\\slash*");
    EXPECT_EQ(FileNameIndex::namePattern("say \"hi\""), "say \"hi\"");
}

// An extension query finds the names that end with it; any other text, names that contain it.
TEST_F(SearchServiceTest, AnExtensionQueryMatchesTheEndOfTheName) {
    print({});
    auto matches = [](const std::string& pattern, const char* name) {
        // plocate matches a glob against the whole base name, ignoring case with --ignore-case.
        if (pattern.find('*') == std::string::npos) return QString::fromUtf8(name).contains(QString::fromStdString(pattern), Qt::CaseInsensitive);
        return fnmatch(pattern.c_str(), name, FNM_CASEFOLD) == 0;
    };
    hits(".deb");
    const std::string deb = arguments().back();
    for (const char* name : {"tool_1.0_amd64.deb", "SETUP.DEB", ".deb"}) EXPECT_TRUE(matches(deb, name)) << deb << " " << name;
    for (const char* name : {"libc.so.6.debug", "a.deb.part", "debian.txt"}) EXPECT_FALSE(matches(deb, name)) << deb << " " << name;

    for (const char* text : {".tar.gz", ".", "deb", ". deb", ".de b"}) {
        EXPECT_FALSE(FileNameIndex::isExtensionQuery(text)) << text;
        hits(text);
        EXPECT_EQ(arguments().back(), text);  // a plain substring
    }
    EXPECT_EQ(FileNameIndex::namePattern(".d[e]b"), "*.d\\[e\\]b");
}

TEST_F(SearchServiceTest, ScopeAndKindAreAppliedToThePrintedPaths) {
    auto scope = tree.folder("scope");
    auto photo = tree.file("scope/deep/Photo.JPG", 10);
    auto notes = tree.file("scope/notes.txt", 10);
    auto sibling = tree.file("scope2/other.jpg", 10);  // shares the scope's text but is not inside it
    auto archive = tree.file("scope/backup.tar.gz", 10);
    auto hidden = tree.file("scope/.jpg", 10);  // a dot file has no extension
    print({photo, notes, sibling, archive, hidden});

    EXPECT_THAT(hitPaths(hits("o", scope / "")), ::testing::UnorderedElementsAre(photo, notes, archive, hidden));
    EXPECT_EQ(arguments().back(), "o");
    EXPECT_THAT(hitPaths(hits("o", std::nullopt, SearchKind::images)), ::testing::UnorderedElementsAre(photo, sibling));
    EXPECT_THAT(hitPaths(hits("o", scope, SearchKind::archives)), ElementsAre(archive));
    EXPECT_THAT(hitPaths(hits("o", scope, SearchKind::documents)), ::testing::UnorderedElementsAre(photo, notes));
    EXPECT_EQ(hits("o").size(), 5u);
    // plocate never bounds the count itself: only this side knows which printed paths still exist.
    EXPECT_THAT(arguments(), ::testing::Not(::testing::Contains("--limit")));
    EXPECT_TRUE(temporaryFoldersGone());
}

TEST_F(SearchServiceTest, EightHundredPrintedPathsGiveTheFirstFiveHundredLargestFirst) {
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < 800; ++i) paths.push_back(tree.file("files/f" + std::to_string(i), static_cast<size_t>(i % 4) * 5000));
    print(paths);

    auto found = hits("f");
    ASSERT_EQ(found.size(), 500u);
    std::set<std::string> firstFiveHundred;
    for (int i = 0; i < 500; ++i) firstFiveHundred.insert(paths[static_cast<size_t>(i)].native());
    for (size_t i = 0; i < found.size(); ++i) {
        EXPECT_TRUE(firstFiveHundred.count(found[i].path.native()));
        if (i > 0) {
            EXPECT_GE(found[i - 1].size, found[i].size);
        }
    }
    EXPECT_EQ(found.front().size, TempTree::allocatedSize(paths[3]));
    EXPECT_EQ(found.back().size, 0);
    // Equal sizes keep the printed order.
    EXPECT_EQ(found[0].path, paths[3]);
    EXPECT_EQ(found[1].path, paths[7]);
}

TEST_F(SearchServiceTest, AScopedSearchEndsTheIndexOnceItKeptTheMaximum) {
    // Paths outside the scope, then 600 inside it, then the index would go on for a minute.
    std::vector<std::filesystem::path> paths;
    for (int i = 0; i < 300; ++i) paths.push_back(tree.path() / "elsewhere" / ("f" + std::to_string(i)));
    for (int i = 0; i < 600; ++i) paths.push_back(tree.file("scope/f" + std::to_string(i), 10));
    print(paths);
    useTool("exec sleep 60");
    setup.timeLimit = 60s;

    auto found = hits("f", tree.path() / "scope");
    ASSERT_EQ(found.size(), 500u);
    std::set<std::string> firstFiveHundred;
    for (int i = 300; i < 800; ++i) firstFiveHundred.insert(paths[static_cast<size_t>(i)].native());
    for (const SearchHit& hit : found) EXPECT_TRUE(firstFiveHundred.count(hit.path.native())) << hit.path;
    EXPECT_TRUE(temporaryFoldersGone());
}

TEST_F(SearchServiceTest, PrintedPathsAreCheckedOneByOne) {
    auto kept = tree.file("a/report.pdf", 100);
    auto deleted = tree.file("a/gone.pdf", 100);
    auto odd = tree.file("a/caf\xe9 menu.pdf", 100);  // Latin-1 bytes, not UTF-8
    auto twoLines = tree.file("a/first\nsecond.txt", 100);
    auto folder = tree.folder("a/Projects");
    auto plain = tree.file("a/README", 100);
    std::filesystem::remove(deleted);
    print({kept, deleted, odd, twoLines, folder, plain});

    SearchFindings all = findings("e");
    EXPECT_EQ(all.goneCount, 1u);
    auto found = all.hits;
    ASSERT_THAT(hitPaths(found), ::testing::UnorderedElementsAre(kept, odd, twoLines, folder, plain));
    for (const auto& hit : found) {
        EXPECT_TRUE(hit.modifiedAt.has_value());
        if (hit.path == kept || hit.path == odd) {
            EXPECT_THAT(hit.kind.toStdString(), ::testing::HasSubstr("PDF"));
        }
        if (hit.path == folder) {
            EXPECT_FALSE(hit.kind.isEmpty());
        }
        if (hit.path == plain) {
            EXPECT_EQ(hit.kind, "");
        }
        if (hit.path == kept) {
            EXPECT_EQ(hit.size, TempTree::allocatedSize(kept));
        }
    }
    EXPECT_NE(found[0].id, found[1].id);
}

// plocate failing on its index is said in the app's words with the mend; plocate's text goes beneath.
TEST_F(SearchServiceTest, FailuresOfTheIndexToolSayWhatMendsThemAndKeepTheToolsText) {
    SettingsStore::shared().setValue("appLanguage", "en");
    const QString damaged = AppLocalization::string("search.indexDamaged");
    ASSERT_NE(damaged, "search.indexDamaged");
    EXPECT_THAT(damaged.toStdString(), ::testing::HasSubstr("sudo updatedb"));

    useTool("echo 'plocate: database is corrupt' >&2; exit 2");
    EXPECT_EQ(error("x"), damaged);
    EXPECT_EQ(failure("x").details, "plocate: database is corrupt");
    useTool("printf 'bad \\377\\n' >&2; exit 2");
    EXPECT_EQ(error("x"), damaged);
    EXPECT_EQ(failure("x").details, QString::fromUtf8("bad \xEF\xBF\xBD"));  // shown, never guessed at
    useTool("exit 1");  // what plocate does when nothing matches
    print({tree.file("would-be-found")});
    EXPECT_TRUE(hits("x").empty());
    useTool("kill -9 $$");
    EXPECT_EQ(error("x"), damaged);
    EXPECT_EQ(failure("x").details, "");

    std::filesystem::remove(tree.path() / "arguments");
    std::filesystem::remove(setup.index.database);
    // No index at all: the message says how to build one.
    EXPECT_THAT(error("x").toStdString(), ::testing::HasSubstr("updatedb"));
    EXPECT_FALSE(std::filesystem::exists(tree.path() / "arguments"));  // nothing was run

    setup.index.program = tree.path() / "bin/missing";
    setup.index.database = tree.write("index/plocate.db", "");
    EXPECT_THAT(error("x").toStdString(), ::testing::HasSubstr("bin/missing"));
    EXPECT_TRUE(temporaryFoldersGone());
    SettingsStore::shared().remove("appLanguage");
}

// The index as it usually is: built before the day's deletions. Its first matches are gone; the
// files that still exist fill the 500, and the cap note's flag is up only when one more exists.
TEST_F(SearchServiceTest, FilesGoneSinceTheIndexWasBuiltLeaveTheirPlacesToFilesThatExist) {
    auto root = tree.folder("indexed");
    auto scope = tree.folder("indexed/a");
    std::vector<std::filesystem::path> pictures, texts;
    for (int i = 0; i < 300; ++i) tree.file("indexed/0-outside/match-out" + std::to_string(i) + ".jpg", 1);
    for (int i = 0; i < 1100; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "indexed/a/match%04d", i);
        pictures.push_back(tree.file(std::string(name) + ".jpg", 1));
        texts.push_back(tree.file(std::string(name) + ".txt", 1));
    }
    auto index = realIndexOf(root);
    if (!index) GTEST_SKIP() << "plocate is not installed";
    setup.index = *index;
    // The index lists the outside folder first, then the scope's files by name.
    for (int i = 0; i < 550; ++i) {
        std::filesystem::remove(pictures[static_cast<size_t>(i)]);
        std::filesystem::remove(texts[static_cast<size_t>(i)]);
    }
    const auto allExist = [](const SearchFindings& found) {
        return std::all_of(found.hits.begin(), found.hits.end(), [](const SearchHit& hit) { return std::filesystem::exists(hit.path); });
    };

    SearchFindings everywhere = findings("MATCH");
    EXPECT_EQ(everywhere.hits.size(), 500u);
    EXPECT_TRUE(everywhere.hasMore);
    EXPECT_EQ(everywhere.goneCount, 1100u);  // all seen before the 501st file that exists
    EXPECT_TRUE(allExist(everywhere));

    SearchFindings inScope = findings("match", scope);
    EXPECT_EQ(inScope.hits.size(), 500u);
    EXPECT_TRUE(inScope.hasMore);
    EXPECT_EQ(inScope.goneCount, 1100u);
    EXPECT_TRUE(allExist(inScope));

    SearchFindings scopedPictures = findings("match", scope, SearchKind::images);
    EXPECT_EQ(scopedPictures.hits.size(), 500u);
    EXPECT_TRUE(scopedPictures.hasMore);
    EXPECT_EQ(scopedPictures.goneCount, 550u);
    EXPECT_TRUE(allExist(scopedPictures));

    // Exactly 500 pictures left in the scope: all of them, and no more to speak of.
    for (int i = 1050; i < 1100; ++i) std::filesystem::remove(pictures[static_cast<size_t>(i)]);
    scopedPictures = findings("match", scope, SearchKind::images);
    EXPECT_EQ(scopedPictures.hits.size(), 500u);
    EXPECT_FALSE(scopedPictures.hasMore);
    EXPECT_EQ(scopedPictures.goneCount, 600u);
    SearchFindings pictureFiles = findings("match", std::nullopt, SearchKind::images);
    EXPECT_EQ(pictureFiles.hits.size(), 500u);
    EXPECT_TRUE(pictureFiles.hasMore);  // the 300 outside and 500 inside

    // Fewer than 500 left: every one, none withheld.
    for (int i = 550; i < 1100; ++i) std::filesystem::remove(texts[static_cast<size_t>(i)]);
    SearchFindings textFiles = findings("match", scope, SearchKind::documents);
    EXPECT_EQ(textFiles.hits.size(), 500u);  // the pictures count as documents too
    SearchFindings few = findings("match0", scope, SearchKind::images);  // match0550 ... match0999
    EXPECT_EQ(few.hits.size(), 450u);
    EXPECT_FALSE(few.hasMore);
    EXPECT_EQ(few.goneCount, 1000u - 450u);
    EXPECT_TRUE(temporaryFoldersGone());
}

// Paths the index lists are looked at, never opened; only a path with nothing at it counts as gone.
TEST_F(SearchServiceTest, OnlyAPathWithNothingAtItCountsAsGone) {
    auto fifo = tree.path() / "a/pipe.match";
    tree.folder("a");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto plain = tree.file("a/plain.match", 10);
    auto underAFile = plain / "child.match";  // ENOTDIR: gone as surely as a deleted file
    auto loop = tree.path() / "a/loop";
    std::filesystem::create_symlink("loop", loop);
    auto throughLoop = loop / "x.match";  // ELOOP: not looked at, but not known to be gone
    auto deleted = tree.path() / "a/deleted.match";
    print({fifo, underAFile, throughLoop, deleted, plain});
    SearchFindings found = findings("match");  // a FIFO opened for reading would hang here
    EXPECT_THAT(hitPaths(found.hits), ::testing::UnorderedElementsAre(fifo, plain));
    EXPECT_EQ(found.goneCount, 2u);
    EXPECT_FALSE(found.hasMore);
}

// The index's age is the index file's modification time, read without opening it.
TEST_F(SearchServiceTest, FindingsCarryTheTimeTheIndexWasWritten) {
    TempTree::setModified(setup.index.database, 1'700'000'000);
    print({tree.file("file.match", 1)});
    EXPECT_EQ(findings("match").indexUpdatedAt, Instant::fromUnixSeconds(1'700'000'000));
    useTool("exit 1");  // nothing matched: still dated
    EXPECT_EQ(findings("match").indexUpdatedAt, Instant::fromUnixSeconds(1'700'000'000));
    ::chmod(setup.index.database.c_str(), 0);
    EXPECT_EQ(findings("match").indexUpdatedAt, Instant::fromUnixSeconds(1'700'000'000));
}

// A truncated, an empty and a bit-flipped index: plocate cannot read it, and the search says so in
// the app's words with the mend, plocate's own text beneath, and never a list of results.
TEST_F(SearchServiceTest, ADamagedIndexIsSaidToBeDamagedWithItsMend) {
    auto root = tree.folder("indexed");
    for (int i = 0; i < 400; ++i) tree.file("indexed/folder" + std::to_string(i % 20) + "/match" + std::to_string(i) + ".txt", 1);
    auto index = realIndexOf(root);
    if (!index) GTEST_SKIP() << "plocate is not installed";
    const std::string whole = TempTree::read(index->database);
    ASSERT_GT(whole.size(), 1000u);
    const QString damaged = AppLocalization::string("search.indexDamaged");
    const auto flipped = [&](std::size_t offset) {
        std::string bytes = whole;
        bytes[offset] = static_cast<char>(bytes[offset] ^ 0x04);
        return bytes;
    };
    const std::vector<std::pair<std::string, std::string>> indexes = {
        {"truncated to half", whole.substr(0, whole.size() / 2)},
        {"truncated in its header", whole.substr(0, 100)},
        {"empty", ""},
        {"a bit flipped in its mark", flipped(1)},
        {"a bit flipped in its version", flipped(8)},
    };
    setup.index.program = index->program;
    for (const auto& [what, bytes] : indexes) {
        setup.index.database = tree.write("broken/" + what + ".db", bytes);
        auto outcome = run("match");
        auto* failed = std::get_if<SearchServiceError>(&outcome);
        ASSERT_TRUE(failed) << what << ": " << std::get<SearchFindings>(outcome).hits.size() << " hits";
        EXPECT_EQ(failed->text, damaged) << what;
        EXPECT_FALSE(failed->details.isEmpty()) << what;
    }
    EXPECT_TRUE(temporaryFoldersGone());
}

TEST_F(SearchServiceTest, HangingToolEndsAsIndexUnavailableWithinTheLimits) {
    setup.timeLimit = 300ms;
    setup.terminateGrace = 300ms;
    const QString unavailable = AppLocalization::string("search.indexUnavailable");
    for (const char* body : {"sleep 30", "trap '' TERM\nwhile :; do sleep 0.05; done"}) {
        useTool(body);
        auto start = Clock::now();
        EXPECT_EQ(error("x"), unavailable) << body;
        EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 2.0) << body;
        EXPECT_TRUE(temporaryFoldersGone());
    }
}

TEST_F(SearchServiceTest, TemporaryFolderIsPrivateToTheUser) {
    auto seen = tree.path() / "seen";
    useTool("folder=$(dirname \"$(readlink /proc/$$/fd/2)\")\n"
            "{ basename \"$folder\"; stat -c %a \"$folder\"; ls \"$folder\"; } > '" + seen.string() + "'");
    hits("x");
    std::istringstream lines(TempTree::read(seen));
    std::string name, mode, first, second;
    lines >> name >> mode >> first >> second;
    EXPECT_TRUE(name.starts_with("QuarnellSearch-")) << name;
    EXPECT_TRUE(Uuid::parse(name.substr(15)).has_value());
    EXPECT_EQ(name.substr(15), Uuid::parse(name.substr(15))->text());  // upper-case form
    EXPECT_EQ(mode, "700");
    EXPECT_EQ(first, "errors.txt");
    EXPECT_EQ(second, "results.txt");
    EXPECT_TRUE(temporaryFoldersGone());
}

TEST_F(SearchServiceTest, NewestSearchAloneIsPublished) {
    auto slow = tree.file("slow-match", 10);
    auto fast = tree.file("fast-match", 10);
    useTool("case \"$*\" in *slow*) sleep 1; echo '" + slow.string() + "' | tr '\\n' '\\0' ;;"
            " *) echo '" + fast.string() + "' | tr '\\n' '\\0' ;; esac");
    SearchService service(setup);
    QSignalSpy resultsChanged(&service, &SearchService::resultsChanged);

    service.search("  slow\n", std::nullopt, SearchKind::all);
    EXPECT_TRUE(service.isSearching());
    service.search("fast", std::nullopt, SearchKind::all);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.isSearching(); }, 5000));
    EXPECT_THAT(hitPaths(service.results()), ElementsAre(fast));
    // The slow search was ended when the fast one began; it comes back and must not publish.
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.isIdle(); }, 5000));
    EXPECT_THAT(hitPaths(service.results()), ElementsAre(fast));
    EXPECT_FALSE(service.errorMessage().has_value());
    EXPECT_EQ(resultsChanged.count(), 1);

    // A blank query clears the results and runs nothing.
    std::filesystem::remove(tree.path() / "arguments");
    service.search(" \n\t", std::nullopt, SearchKind::all);
    EXPECT_FALSE(service.isSearching());
    EXPECT_TRUE(service.results().empty());
    EXPECT_TRUE(service.isIdle());
    EXPECT_FALSE(std::filesystem::exists(tree.path() / "arguments"));
}

TEST_F(SearchServiceTest, StoppedSearchKeepsWhatWasPublished) {
    useTool("echo broken >&2; exit 2");
    SearchService service(setup);
    service.search("x", std::nullopt, SearchKind::all);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.isSearching(); }, 5000));
    EXPECT_EQ(service.errorMessage(), AppLocalization::string("search.indexDamaged"));
    EXPECT_EQ(service.errorDetails(), "broken");

    useTool("sleep 0.3; echo later >&2; exit 2");
    service.search("y", std::nullopt, SearchKind::all);
    EXPECT_FALSE(service.errorMessage().has_value());  // cleared when a search starts
    service.stop();
    EXPECT_FALSE(service.isSearching());
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.isIdle(); }, 5000));  // the stopped search has come back
    EXPECT_FALSE(service.errorMessage().has_value());
    EXPECT_TRUE(service.results().empty());
}

TEST_F(SearchServiceTest, StopAndDestructionEndTheIndexProcessAtOnce) {
    auto pidFile = tree.path() / "plocate.pid";
    useTool("echo $$ > '" + pidFile.string() + "'\nexec sleep 60");
    auto pidOfIndex = [&] {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !TempTree::read(pidFile).empty(); }, 5000));
        const pid_t pid = std::stoi(TempTree::read(pidFile));
        std::filesystem::remove(pidFile);
        return pid;
    };
    auto gone = [](pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; };

    auto service = std::make_unique<SearchService>(setup);
    service->search("x", std::nullopt, SearchKind::all);
    const pid_t first = pidOfIndex();
    service->stop();
    EXPECT_FALSE(service->isSearching());
    EXPECT_TRUE(QTest::qWaitFor([&] { return gone(first); }, 5000));
    EXPECT_FALSE(service->errorMessage().has_value());

    // The owner going away stops its search and waits only for the kill: the process has been reaped.
    service->search("y", std::nullopt, SearchKind::all);
    const pid_t second = pidOfIndex();
    service.reset();
    EXPECT_TRUE(gone(second));
    EXPECT_TRUE(temporaryFoldersGone());
}

// The real index program on an index of its own.
TEST_F(SearchServiceTest, RealIndexFindsNamesInItsOwnDatabase) {
    if (!std::filesystem::exists("/usr/bin/plocate") || !std::filesystem::exists("/usr/bin/updatedb"))
        GTEST_SKIP() << "plocate is not installed";
    auto root = tree.folder("indexed");
    auto quoted = tree.file("indexed/say \"Needle\" \\ now.txt", 5000);
    auto upper = tree.file("indexed/deep/NEEDLE.png", 100);
    auto bracket = tree.file("indexed/needle[1].tar.gz", 100);
    tree.file("indexed/haystack.txt", 100);
    auto index = realIndexOf(root);
    ASSERT_TRUE(index);
    setup.index = *index;
    auto found = hits("needle");
    EXPECT_THAT(hitPaths(found), ::testing::UnorderedElementsAre(quoted, upper, bracket));
    EXPECT_EQ(found.front().path, quoted);  // the largest
    EXPECT_THAT(hitPaths(hits("\"needle\" \\")), ElementsAre(quoted));
    EXPECT_THAT(hitPaths(hits("SAY \"needle\"")), ElementsAre(quoted));
    EXPECT_THAT(hitPaths(hits("e[1]")), ElementsAre(bracket));
    EXPECT_THAT(hitPaths(hits("n*e.p")), ElementsAre(upper));
    EXPECT_THAT(hitPaths(hits("needle", root / "deep")), ElementsAre(upper));
    EXPECT_THAT(hitPaths(hits("needle", std::nullopt, SearchKind::archives)), ElementsAre(bracket));
    EXPECT_THAT(hitPaths(hits("deep")), ElementsAre(root / "deep"));  // not the files inside it
    EXPECT_TRUE(hits("no such name").empty());
    EXPECT_TRUE(temporaryFoldersGone());
}

// Under "C", or a locale the system never generated, the index tool still reads a non-ASCII name:
// it runs with a UTF-8 character type, the rest of the session's locale as it was.
TEST_F(SearchServiceTest, ANonAsciiNameIsFoundOutsideAUtf8Locale) {
    const auto root = tree.folder("indexed");
    const auto report = tree.file("indexed/تقرير.pdf", 100);
    tree.file("indexed/other.pdf", 100);
    const auto realIndex = realIndexOf(root);
    useTool("env > '" + (tree.path() / "environment").string() + "'");
    print({report});

    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    const std::string notes = ForkedChild::runWithEnvironment(
        {{"LANG", "xx_YY.UTF-8"}, {"LC_ALL", "POSIX"}, {"LC_TIME", "C.UTF-8"}, {"LANGUAGE", "ar"}}, [&] {
            std::string failures;
            auto found = [&](const std::string& session) {
                auto outcome = run(QStringLiteral("تقرير"));
                auto* searched = std::get_if<SearchFindings>(&outcome);
                if (!searched) return session + ": " + std::get<SearchServiceError>(outcome).text.toStdString() + "\n";
                return hitPaths(searched->hits) == std::vector<std::string>{report.native()} ? std::string() : session + ": not found\n";
            };
            failures += found("the fake index");
            std::set<std::string> environment;
            std::istringstream lines(TempTree::read(tree.path() / "environment"));
            for (std::string line; std::getline(lines, line);) environment.insert(line);
            // LC_ALL gives way to the categories it set; the rest of the environment is as it was.
            const std::vector<std::string> kept = {"LC_CTYPE=C.UTF-8", "LC_MESSAGES=POSIX", "LC_TIME=POSIX",
                                                   "LANG=xx_YY.UTF-8", "LANGUAGE=ar",       "PATH=" + path};
            for (const std::string& entry : kept) ForkedChild::check(failures, environment.contains(entry), "missing " + entry);
            const bool allPassedOn = std::any_of(environment.begin(), environment.end(), [](const std::string& e) { return e.starts_with("LC_ALL="); });
            ForkedChild::check(failures, !allPassedOn, "LC_ALL was passed on");
            if (!realIndex) return failures;
            setup.index = *realIndex;
            for (const char* locale : {"C", "xx_YY.UTF-8"}) {
                ::setenv("LC_ALL", locale, 1);
                failures += found(std::string("LC_ALL=") + locale);
            }
            // A session locale the system never generated, as LANG alone.
            ::unsetenv("LC_ALL");
            ::unsetenv("LC_TIME");
            failures += found("LANG=xx_YY.UTF-8");
            ::setenv("LC_CTYPE", "POSIX", 1);
            failures += found("LC_CTYPE=POSIX");
            return failures;
        });
    EXPECT_EQ(notes, "");
    EXPECT_TRUE(temporaryFoldersGone());
    if (!realIndex) GTEST_SKIP() << "plocate is not installed";
}

// A hit on a FUSE file system whose daemon never answers (the test holds the device and never reads
// it): the look at the path waits until the connection ends. An owner that lets the service go in the
// meantime does not wait with it; the service goes by itself once its search has come back.
TEST_F(SearchServiceTest, AServiceLetGoWhileAFileSystemHoldsItsSearchGoesWhenTheSearchEnds) {
    if (!ForkedChild::isRoot() || !std::filesystem::exists("/dev/fuse")) GTEST_SKIP() << "FUSE needs root and /dev/fuse";
    const std::filesystem::path mountPoint = tree.folder("remote");
    print({mountPoint / "notes.txt"});
    const std::string result = ForkedChild::runInMountNamespace([&] {
        const int device = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
        const std::string options = "fd=" + std::to_string(device) + ",rootmode=40000,user_id=0,group_id=0";
        if (device < 0 || ::mount("silent", mountPoint.c_str(), "fuse.silent", MS_NOSUID | MS_NODEV, options.c_str()) != 0)
            return std::string(ForkedChild::mountFailed);
        std::string failures;
        QPointer<SearchService> service = new SearchService(setup);
        service->search("notes", std::nullopt, SearchKind::all);
        ForkedChild::check(failures, QTest::qWaitFor([&] { return std::filesystem::exists(tree.path() / "arguments"); }, 5000), "the index ran");
        service->deleteWhenIdle();  // returns while the look may still wait
        ::close(device);            // ends the connection: the waiting look fails, and the search comes back
        ForkedChild::check(failures, QTest::qWaitFor([&] { return service.isNull(); }, 10000), "the service went");
        ::umount2(mountPoint.c_str(), MNT_DETACH);
        return failures;
    });
    if (ForkedChild::cannotMount(result)) GTEST_SKIP() << "FUSE cannot be mounted here";
    EXPECT_EQ(result, "");
}
