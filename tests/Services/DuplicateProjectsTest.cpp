#include "Support/DuplicateSearches.h"
#include "Support/FixtureRoots.h"
#include "Support/TempTree.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using namespace DuplicateSearches;

// A home with a project of each kind, laid out as its program leaves it; every row's copy lies in
// one, older than its loose copy in Downloads, so that without the rule it is the one ticked.
struct ProjectsHome {
    struct Row {
        std::string kind;
        fs::path copy;
        UntickedReason reason;
        std::string within;  // the name the row shows
    };
    std::vector<Row> rows;
    std::vector<fs::path> kept;  // must stay
    std::vector<fs::path> loose;  // ticked

    explicit ProjectsHome(const TempTree& tree) {
        const fs::path home = tree.path() / "home";
        unsigned seed = 700;
        auto row = [&](std::string kind, std::vector<fs::path> copies, UntickedReason reason, std::string within) {
            copies.push_back(home / "Downloads" / copies.front().filename());
            same(tree, copies, ++seed);
            kept.insert(kept.end(), copies.begin(), copies.end() - 1);
            rows.push_back({std::move(kind), copies.front(), reason, std::move(within)});
        };
        // A Hugo site whose page bundles share an image, and a Jekyll one.
        tree.write("home/Sites/blog/hugo.toml", "title = 'Blog'\n");
        row("Hugo site", {home / "Sites/blog/content/posts/first/banner.jpg", home / "Sites/blog/content/posts/second/banner.jpg"}, UntickedReason::projectPart,
            "blog");
        tree.write("home/Sites/journal/_config.yml", "title: Journal\n");
        tree.write("home/Sites/journal/_posts/2024-01-02-hello.md", "---\n---\nHello\n");
        row("Jekyll site", {home / "Sites/journal/assets/logo.png"}, UntickedReason::projectPart, "journal");
        // An unpacked EPUB.
        tree.write("home/Documents/book/mimetype", "application/epub+zip");
        tree.write("home/Documents/book/META-INF/container.xml", "<container/>");
        row("unpacked EPUB", {home / "Documents/book/OEBPS/images/jacket.jpg"}, UntickedReason::projectPart, "book");
        // An Ardour session and an old Audacity project.
        tree.write("home/Music/Sessions/song/song.ardour", "<Session/>");
        row("Ardour session", {home / "Music/Sessions/song/interchange/song/audiofiles/take1.wav"}, UntickedReason::projectPart, "song");
        row("Audacity data", {home / "Music/interview_data/e00/d00/e0000001.au"}, UntickedReason::projectPart, "interview.aup");
        row("Audacity project", {home / "Music/interview.aup"}, UntickedReason::projectPart, "interview.aup");
        // A Scrivener project, a package on its home system.
        row("Scrivener project", {home / "Documents/Novel.scriv/Files/Data/A1/content.rtf"}, UntickedReason::projectPart, "Novel.scriv");
        // A LaTeX document: a figure by its graphics path and without its extension, after an escaped
        // per cent sign and a line break; a chapter it inputs with that chapter's own figure, a preface
        // by TeX's own "\input word", its bibliography.
        tree.write("home/Documents/thesis/thesis.tex", "\\documentclass{report}\n\\graphicspath{{figures/}}\n% \\includegraphics{old-plot}\n"
                                                      "\\begin{document}\nHalf\\% of it.\\\\\n\\includegraphics[width=5cm]{plot}\n\\input{chapters/intro}\n"
                                                      "\\input preface\n"
                                                      "\\bibliography{refs, sources}\n\\newcommand{\\unit}{cm}\n\\inputminted{python}{code/fit.py}\n\\end{document}\n");
        tree.write("home/Documents/thesis/chapters/intro.tex", "\\section{Intro}\n\\includegraphics{figures/map.png}\n");
        row("LaTeX figure", {home / "Documents/thesis/figures/plot.pdf"}, UntickedReason::projectPart, "thesis.tex");
        row("LaTeX chapter's figure", {home / "Documents/thesis/figures/map.png"}, UntickedReason::projectPart, "thesis.tex");
        row("LaTeX preface", {home / "Documents/thesis/preface.tex"}, UntickedReason::projectPart, "thesis.tex");
        row("LaTeX bibliography", {home / "Documents/thesis/refs.bib"}, UntickedReason::projectPart, "thesis.tex");
        row("LaTeX second bibliography", {home / "Documents/thesis/sources.bib"}, UntickedReason::projectPart, "thesis.tex");
        row("LaTeX listing", {home / "Documents/thesis/code/fit.py"}, UntickedReason::projectPart, "thesis.tex");
        // A manual of many files is read to its last.
        std::string manual = "\\documentclass{book}\n";
        for (int part = 1; part < 256; ++part) {
            manual += "\\include{part-" + std::to_string(part) + "}\n";
            tree.write("home/Documents/manual/part-" + std::to_string(part) + ".tex", part == 255 ? "\\includegraphics{wiring}\n" : "Text.\n");
        }
        tree.write("home/Documents/manual/manual.tex", manual);
        row("LaTeX figure of a document's 256th file", {home / "Documents/manual/wiring.png"}, UntickedReason::projectPart, "manual.tex");
        // A graphics path given through a macro, which is not read, stops nothing after it.
        tree.write("home/Documents/report/report.tex", "\\documentclass{article}\n\\graphicspath\\figurepaths\n\\begin{document}\n"
                                                      "\\includegraphics{chart.png}\n\\end{document}\n");
        row("LaTeX figure after a graphics path by macro", {home / "Documents/report/chart.png"}, UntickedReason::projectPart, "report.tex");
        // Video projects naming clips by path: Kdenlive's absolute, Shotcut's from its root, OpenShot's relative.
        tree.write("home/Videos/film.kdenlive", "<?xml version='1.0'?>\n<mlt root=\"" + (home / "Videos").string() +
                                                     "\"><producer id=\"p1\"><property name=\"length\">250</property><property name=\"resource\">" + (home / "Music/score.ogg").string() +
                                                     "</property></producer></mlt>\n");
        row("Kdenlive clip", {home / "Music/score.ogg"}, UntickedReason::usedByProject, "film.kdenlive");
        tree.write("home/Videos/trailer.mlt", "<mlt root=\"" + (home / "Videos/shots").string() +
                                                  "\"><chain id=\"c\"><property name=\"resource\">take2.mp4</property></chain></mlt>\n");
        row("Shotcut clip", {home / "Videos/shots/take2.mp4"}, UntickedReason::usedByProject, "trailer.mlt");
        tree.write("home/Videos/holiday.osp", R"({"files": [{"id": "A", "path": "../Pictures/beach.png"}], "clips": [{"reader": {"path": "@assets/title.svg"}}]})");
        row("OpenShot file", {home / "Pictures/beach.png"}, UntickedReason::usedByProject, "holiday.osp");
        row("OpenShot asset", {home / "Videos/holiday_Assets/title.svg"}, UntickedReason::usedByProject, "holiday.osp");
        // The album art of each disc of an album, of an album above its discs, and its scans.
        for (const char* disc : {"CD1", "CD2"})
            for (const char* track : {"01.flac", "02.flac"}) tree.write("home/Music/Artist/Album/" + std::string(disc) + "/" + track, "fLaC");
        row("album art of its discs", {home / "Music/Artist/Album/CD1/cover.jpg", home / "Music/Artist/Album/CD2/cover.jpg"}, UntickedReason::albumArt, "");
        row("album art above its discs", {home / "Music/Artist/Album/folder.jpg"}, UntickedReason::albumArt, "");
        for (const char* track : {"01.mp3", "02.mp3"}) tree.write("home/Music/Single/" + std::string(track), "ID3");
        row("album scans", {home / "Music/Single/Scans/back.png"}, UntickedReason::albumArt, "");
        // The desktop's templates.
        row("template", {home / "Templates/Letter.odt"}, UntickedReason::userTemplate, "");

        // Loose copies beside them, which stay ticked: a document alone is no project, nor is a
        // picture in Downloads among the songs saved there.
        auto looseCopies = [&](std::vector<fs::path> copies) {
            same(tree, copies, ++seed);
            loose.insert(loose.end(), copies.begin(), copies.end() - 1);
            kept.push_back(copies.back());
        };
        tree.write("home/Documents/letter.tex", "\\documentclass{letter}\n\\begin{document}Dear\\end{document}\n");
        looseCopies({home / "Documents/notes/plot.pdf", home / "Documents/plot.pdf"});
        tree.write("home/Downloads/single.mp3", "ID3");
        // A figure only a comment names is no part of the document; nor is what a snippet without a
        // document of its own names.
        looseCopies({home / "Downloads/old-plot.pdf", home / "Documents/thesis/figures/old-plot.pdf"});
        tree.write("home/Documents/snippets/table.tex", "\\input{data.csv}\n");
        looseCopies({home / "Downloads/data.csv", home / "Documents/snippets/data.csv"});
        looseCopies({home / "Downloads/poster.jpg", home / "Pictures/poster.jpg"});
        looseCopies({home / "Downloads/content.pdf", home / "Documents/content.pdf"});
    }
};

}  // namespace

// A row per kind of project, hidden files on and off: a group that reaches into one ticks nothing,
// its copy in the project says which; moving what is ticked leaves every project whole and takes
// the loose copies.
TEST(DuplicateProjects, AGroupThatReachesIntoAProjectTicksNothingAndSaysWhich) {
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.path() / "home";
    const ProjectsHome projects(tree);
    std::vector<fs::path> moved;
    for (const bool includeHidden : {false, true}) {
        for (const fs::path& folder : {home, home / "Music"}) {
            const std::vector<DuplicateGroup> groups = search(folder, includeHidden);
            for (const ProjectsHome::Row& row : projects.rows) {
                const DuplicateGroup* group = holding(groups, row.copy);
                if (folder != home && (!group || group->files.size() < 2)) continue;
                ASSERT_NE(group, nullptr) << row.kind;
                EXPECT_FALSE(group->ticksCopies()) << row.kind << " in " << folder << (includeHidden ? ", hidden files on" : "");
                EXPECT_EQ(copyAt(*group, row.copy)->untickedReason, row.reason) << row.kind << " in " << folder;
                if (!row.within.empty()) {
                    EXPECT_EQ(copyAt(*group, row.copy)->untickedWithin.filename(), row.within) << row.kind;
                }
            }
        }
        for (const fs::path& path : moveTicked(search(home, includeHidden), tree.path() / (includeHidden ? "bin-hidden" : "bin"))) moved.push_back(path);
        for (const fs::path& file : projects.kept) EXPECT_TRUE(fs::exists(file)) << file;
    }
    std::sort(moved.begin(), moved.end());
    std::vector<fs::path> loose = projects.loose;
    std::sort(loose.begin(), loose.end());
    EXPECT_EQ(moved, loose);
}

// A project around the searched folder is read from the disk: a site's page bundles searched on
// their own still belong to it.
TEST(DuplicateProjects, AProjectAroundTheSearchedFolderIsReadFromTheDisk) {
    TempTree tree;
    FixtureRoots roots(tree.path());
    const fs::path home = tree.path() / "home";
    tree.write("home/Sites/blog/config.toml", "title = 'Blog'\n");
    same(tree, {home / "Sites/blog/content/posts/a/img.png", home / "Sites/blog/content/posts/b/img.png"}, 800);
    for (const bool includeHidden : {false, true}) {
        const std::vector<DuplicateGroup> groups = search(home / "Sites/blog/content/posts", includeHidden);
        ASSERT_EQ(groups.size(), 1u);
        EXPECT_FALSE(groups[0].ticksCopies());
        EXPECT_EQ(groups[0].files[0].untickedReason, UntickedReason::projectPart);
        EXPECT_EQ(groups[0].files[0].untickedWithin, home / "Sites/blog");
    }
}
