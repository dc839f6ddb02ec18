#pragma once

#include "Models/TrashFigures.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <set>
#include <string>

class AppState;
class Banner;
class DashboardPage;
class DuplicateProgressCard;
class LazyRowStack;

class QVBoxLayout;
class RankedList;
class StyledButton;
class TextLabel;
class TintedNotice;
class ToolsEmptyCard;
class ToolsTrashButton;

// The duplicate finder: the folder to search, the search with its progress, the groups as they are
// found (most space to free first, as AppState orders them), their copies, and the move of the ticked
// copies to the Trash after a confirmation. Groups that stream in add rows; kept rows are reused.
// After a search, a notice counts the files that could not be read and so were not compared.
class DuplicateFinderView : public QWidget {
    Q_OBJECT
public:
    DuplicateFinderView(AppState& state, const DynamicColor& tint, QWidget* parent = nullptr);

    // What moving copies would free on disk: every copy beyond the first of each group, and the
    // ticked ones; copies with another name, or with no block, free nothing.
    std::int64_t reclaimable() const;
    std::int64_t selectedSize() const;

    StyledButton* folderButton() const { return folder_; }
    StyledButton* scanButton() const { return scan_; }
    StyledButton* cancelButton() const { return cancel_; }
    DuplicateProgressCard* progressCard() const { return progress_; }
    TintedNotice* notComparedNotice() const { return notCompared_; }
    TextLabel* notComparedText() const { return notComparedText_; }
    ToolsEmptyCard* emptyCard() const { return empty_; }
    Banner* banner() const { return banner_; }
    ToolsTrashButton* trashButton() const { return trash_; }
    LazyRowStack* rows() const { return rows_; }
    QMessageBox* confirmation() const { return confirmation_; }

private:
    struct SelectedCopies {
        std::int64_t moved = 0;  // the ticked copies' length
        TrashFigures figures;  // on disk
        qlonglong freeingNothing = 0;  // ticked copies with another name or no block
    };
    const SelectedCopies& selectedCopies() const;

    void followState();
    void followGroups();
    void followSelection();
    void followFolder();
    void followNotCompared();

    AppState& state_;
    DynamicColor tint_;
    std::set<std::string> expanded_;
    DashboardPage* page_;
    QVBoxLayout* stack_;
    StyledButton* folder_;
    StyledButton* scan_;
    StyledButton* cancel_;
    DuplicateProgressCard* progress_;
    TintedNotice* notCompared_;
    TextLabel* notComparedText_;
    ToolsEmptyCard* empty_ = nullptr;
    Banner* banner_;
    QWidget* compressedNote_ = nullptr;
    ToolsTrashButton* trash_;
    RankedList* list_;
    LazyRowStack* rows_;
    QPointer<QMessageBox> confirmation_;
    mutable std::optional<SelectedCopies> selected_;
};
