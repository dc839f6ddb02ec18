#pragma once

#include "Models/CleanupCandidate.h"
#include "Models/TrashFigures.h"
#include "Models/ValueTool.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class AppState;
class Banner;
class DashboardPage;
class LazyRowStack;
class QAbstractButton;

class StatTile;
class ThinBar;
class ToolsEmptyCard;
class ToolsTrashButton;

// The pane of a cleanup tool (smart cleanup or developer caches): the scan button, then either the
// empty card or the banner with the move to the Trash, the plan (what the selection frees, safe and
// review counts), the candidate rows with their safety and a closing note. Loads its list when first
// shown empty, and, when another tool's work refused that, once that work ends; moves only after a
// confirmation. Built once: the list, the busy flag and the selection
// update it in place.
class CandidateListView : public QWidget {
    Q_OBJECT
public:
    using List = const std::vector<CleanupCandidate>& (AppState::*)() const;
    using Load = void (AppState::*)();

    // `emptyTitle` and `emptyDetail` are text keys.
    CandidateListView(AppState& state, ValueTool tool, List list, Load load, QString emptyTitle, QString emptyDetail, QWidget* parent = nullptr);

    // What moving the ticked candidates of this list moves and frees; other tools' entries in the
    // selection do not count.
    TrashFigures selectedFigures() const;
    // What moving every candidate frees.
    static std::int64_t freedByAll(const std::vector<CleanupCandidate>& candidates);

    QAbstractButton* scanButton() const { return scan_; }
    ToolsEmptyCard* emptyCard() const { return empty_; }
    Banner* banner() const { return banner_; }
    ToolsTrashButton* trashButton() const { return trash_; }
    StatTile* selectedTile() const { return selectedTile_; }
    ThinBar* selectedBar() const { return selectedBar_; }
    LazyRowStack* rows() const { return rows_; }
    QMessageBox* confirmation() const { return confirmation_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void requestLoad();
    void followList();
    void followWorking();
    void followSelection();

    AppState& state_;
    ValueTool tool_;
    List list_;
    QString emptyTitle_;
    QString emptyDetail_;
    Load load_;
    bool shown_ = false;
    bool waiting_ = false;  // a load was refused while another tool worked
    std::int64_t freedByAll_ = 0;
    QWidget* compressedNote_ = nullptr;
    QPointer<QMessageBox> confirmation_;
    DashboardPage* page_;
    QAbstractButton* scan_ = nullptr;
    ToolsEmptyCard* empty_ = nullptr;
    QWidget* listPart_ = nullptr;
    StatTile* safeTile_ = nullptr;
    StatTile* reviewTile_ = nullptr;
    Banner* banner_ = nullptr;
    ToolsTrashButton* trash_ = nullptr;
    StatTile* selectedTile_ = nullptr;
    ThinBar* selectedBar_ = nullptr;
    LazyRowStack* rows_ = nullptr;
};
