#include "Views/Search/SearchIndexNote.h"

#include "Models/AppLocalization.h"
#include "Models/TimeFormatting.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"

namespace {

QString noteText(const SearchFindings& findings, Instant now) {
    QStringList sentences;
    // An index dated after now (the clock put back since, or built on another machine) has no age to
    // give: its date is said as it is, never as "in 2 days" nor as fresh.
    if (findings.indexUpdatedAt && *findings.indexUpdatedAt > now)
        sentences << AppLocalization::format("search.indexAgeUnknown", {TimeFormatting::dayMonthYear(*findings.indexUpdatedAt, AppLocalization::activeLocale())});
    else if (findings.indexUpdatedAt)
        sentences << AppLocalization::format("search.indexAge", {TimeFormatting::relative(*findings.indexUpdatedAt, now, AppLocalization::activeLocale())});
    if (findings.goneCount > 0) sentences << AppLocalization::format("search.goneFromDisk", {qlonglong(findings.goneCount)});
    return sentences.join(QLatin1Char(' '));
}

}  // namespace

SearchIndexNote::SearchIndexNote(QWidget* parent) : TextLabel({}, Fonts::system(13), DynamicColor::secondary(), parent) {
    setObjectName("indexNote");
    setWordWrap(true);
    hide();
}

void SearchIndexNote::setFindings(const SearchFindings& findings, Instant now) {
    setText(noteText(findings, now));
    // Gone matches are a warning: what the user looks for may be among files the index has not seen.
    setColor(findings.goneCount > 0 ? DS::orange : DynamicColor::secondary());
    setVisible(!TextLabel::text().isEmpty());
}
