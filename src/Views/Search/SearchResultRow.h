#pragma once

#include "Models/SearchHit.h"
#include "Views/DesignSystem/RankedRow.h"

// One hit of the results list: the file's icon, name, folder and size with a bar against the
// largest hit. It tells the list when the pointer enters or leaves; double-click opens the file and
// the context menu offers open, reveal and copy path. A file gone since the search still shows what
// the search knew, and opening or revealing it does nothing.
class SearchResultRow : public RankedRow {
    Q_OBJECT
public:
    SearchResultRow(const SearchHit& hit, std::int64_t largest, const DynamicColor& tint, bool highlighted, QWidget* parent = nullptr);

    const SearchHit& hit() const { return hit_; }

    void open() const;
    void reveal() const;
    void copyPath() const;

signals:
    void hoverChanged(bool entered);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool stillThere() const;

    SearchHit hit_;
};
