#include "Pictures/PictureRegistry.h"

#include "Models/AppLocalization.h"
#include "Views/Search/SearchResultsList.h"
#include "Views/Search/SearchResultRow.h"
#include "Views/Search/SearchView.h"
#include "ViewSupport/FakeSearchService.h"
#include "ViewSupport/ToolsFixture.h"
#include "ViewSupport/SearchHits.h"

namespace {

using Path = std::filesystem::path;

std::vector<SearchHit> someHits() {
    const Path home = "/home/maya";
    return {
        searchHit(home / "Documents/Quarterly report 2026.pdf", 4'812'000, 1'795'000'000, "PDF document"),
        searchHit(home / "Downloads/report-draft (1).docx", 1'204'000, 1'790'000'000, "Word document"),
        searchHit(home / "Pictures/Screenshots/report chart.png", 612'000, 1'794'000'000, "PNG image"),
        searchHit(home / "Projects/site/reports/index.html", 18'000, 1'780'000'000, "HTML document"),
        searchHit(home / "Documents/old/report.txt", 0, 1'700'000'000, "Plain text document"),
    };
}

// What a search of an index updated `hoursAgo` found; `gone` of its matches are no longer on the disk.
SearchFindings found(std::vector<SearchHit> hits, double hoursAgo, std::size_t gone = 0, bool more = false) {
    SearchFindings findings;
    findings.hits = std::move(hits);
    findings.hasMore = more;
    findings.goneCount = gone;
    findings.indexUpdatedAt = Instant::now().addingSeconds(-hoursAgo * 3600);
    return findings;
}

// The screen over a fake service, brought into a state by `drive`.
struct Screen {
    ToolsFixture fixture;

    std::unique_ptr<QWidget> make(const std::function<void(SearchView&, FakeSearchService&)>& drive) {
        auto owned = std::make_unique<FakeSearchService>();
        FakeSearchService& fake = *owned;
        auto view = std::make_unique<SearchView>(fixture.state(), std::move(owned));
        if (drive) drive(*view, fake);
        return view;
    }
};

void search(SearchView& view, const QString& text) {
    view.setQueryText(text);
    view.runPendingSearch();
}

}  // namespace

static const PictureRegistration searchPictures("search", [](PictureContext& pictures) {
    Screen screen;
    pictures.render("search-suggestions", PictureContext::windowSize, [&] { return screen.make({}); });
    pictures.render("search-searching", PictureContext::windowSize, [&] {
        return screen.make([](SearchView& view, FakeSearchService&) { search(view, "  report "); });
    });
    pictures.render("search-results", PictureContext::windowSize, [&] {
        return screen.make([](SearchView& view, FakeSearchService& fake) {
            search(view, "report");
            fake.finishLatestWith(found(someHits(), 5));
            if (SearchResultRow* row = view.resultsList()->row(1)) emit row->hoverChanged(true);
        });
    });
    pictures.render("search-results-capped-by-name", PictureContext::windowSize, [&] {
        return screen.make([](SearchView& view, FakeSearchService& fake) {
            search(view, "IMG_");
            std::vector<SearchHit> many;
            for (int i = 0; i < 500; ++i)
                many.push_back(searchHit(Path("/home/maya/Pictures/Phone") / ("IMG_" + std::to_string(2000 + i) + ".jpg"), 2'000'000 + i * 7'919, 1'790'000'000 + i, "JPEG image"));
            fake.finishLatestWith(found(many, 20, 0, true));
            view.setSortOrder(SearchSort::name);
        });
    });
    pictures.render("search-results-gone-from-disk", PictureContext::windowSize, [&] {
        return screen.make([](SearchView& view, FakeSearchService& fake) {
            search(view, "report");
            fake.finishLatestWith(found(someHits(), 50, 37));
        });
    });
    pictures.render("search-empty", PictureContext::windowSize, [&] {
        return screen.make([](SearchView& view, FakeSearchService& fake) {
            view.setKind(SearchKind::archives);
            view.setScope(SearchScope::scanFolder);
            search(view, "holiday photos backup");
            fake.finishLatestWith(found({}, 30, 3));
        });
    });
    pictures.render("search-error", PictureContext::windowSize, [&] {
        return screen.make([](SearchView& view, FakeSearchService& fake) {
            search(view, "invoice");
            fake.fail(fake.calls.size() - 1, AppLocalization::string("search.indexMissing"));
        });
    });
    pictures.render("search-error-damaged-index", PictureContext::windowSize, [&] {
        return screen.make([](SearchView& view, FakeSearchService& fake) {
            search(view, "invoice");
            fake.fail(fake.calls.size() - 1, AppLocalization::string("search.indexDamaged"),
                      "/var/lib/plocate/plocate.db: database is corrupt or not a plocate database; please rebuild it.");
        });
    });
    pictures.render("search-narrow-pills-above", QSize(820, 700), [&] {
        return screen.make([](SearchView& view, FakeSearchService&) { view.setKind(SearchKind::images); });
    });
    pictures.render("search-narrow-menus", QSize(600, 700), [&] {
        return screen.make([](SearchView& view, FakeSearchService&) { view.setKind(SearchKind::video); });
    });
});
