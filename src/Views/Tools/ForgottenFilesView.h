#pragma once

#include "Models/ScannedFile.h"
#include "Models/TrashFigures.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <vector>

class AppState;
class Banner;
class DashboardPage;
class LazyRowStack;
class PillTabBar;
class QAbstractButton;

class ToolsEmptyCard;
class ToolsTrashButton;

// Forgotten files: large files under the scan folder untouched for the chosen number of days
// (90, 180 or 365; 180 at first), with their dates, moved to the Trash after a confirmation.
// Choosing an age only changes the next search. Built once: the list, the busy flag and the
// selection update it in place.
class ForgottenFilesView : public QWidget {
    Q_OBJECT
public:
    ForgottenFilesView(AppState& state, const DynamicColor& tint, QWidget* parent = nullptr);

    int age() const { return age_; }
    // What moving every listed file frees; what moving the ticked ones moves and frees.
    std::int64_t total() const;
    TrashFigures selectedFigures() const;
    // The files listed, a file with several names once.
    static std::int64_t fileCount(const std::vector<ScannedFile>& files);

    QAbstractButton* scanButton() const { return scan_; }
    PillTabBar* ageBar() const { return ageBar_; }
    ToolsEmptyCard* emptyCard() const { return empty_; }
    Banner* banner() const { return banner_; }
    ToolsTrashButton* trashButton() const { return trash_; }
    LazyRowStack* rows() const { return rows_; }
    QMessageBox* confirmation() const { return confirmation_; }

private:
    void build();
    void followList();
    void followWorking();
    void followSelection();

    AppState& state_;
    DynamicColor tint_;
    int age_ = 180;
    DashboardPage* page_;
    QAbstractButton* scan_ = nullptr;
    PillTabBar* ageBar_ = nullptr;
    ToolsEmptyCard* empty_ = nullptr;
    QWidget* listPart_ = nullptr;
    Banner* banner_ = nullptr;
    ToolsTrashButton* trash_ = nullptr;
    LazyRowStack* rows_ = nullptr;
    QPointer<QMessageBox> confirmation_;
    QWidget* compressedNote_ = nullptr;
};
