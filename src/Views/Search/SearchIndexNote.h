#pragma once

#include "Foundation/Instant.h"
#include "Services/SearchFindings.h"
#include "Views/DesignSystem/TextLabel.h"

// The line beside the results, or under a search that found nothing, that says when the file index
// was last updated and, when matches it lists are gone from the disk, that it is older than the
// files and how to refresh it. Hidden when there is nothing to say.
class SearchIndexNote : public TextLabel {
    Q_OBJECT
public:
    explicit SearchIndexNote(QWidget* parent = nullptr);

    void setFindings(const SearchFindings& findings, Instant now);
};
