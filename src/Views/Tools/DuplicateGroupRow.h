#pragma once

#include "Models/DuplicateGroup.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

#include <functional>
#include <set>
#include <string>

class AppState;
class Pill;
class SymbolView;
class ToolsValueColumn;

// One group of identical files: a header with its first file's name, the number of copies, how many
// of them are ticked, the size of one copy and the space the extra copies take; pressed, it opens
// the list of copies. The first copy is the one kept: locked, green, never ticked by the user. A
// copy with another name, with no block on disk, or with a reason to stay unticked (a backup's,
// shared blocks, a whole it is part of) says so; a group the finder ticked nothing of says why.
class DuplicateGroupRow : public QWidget {
    Q_OBJECT
public:
    DuplicateGroupRow(AppState& state, DuplicateGroup group, double fraction, const DynamicColor& tint, bool expanded,
                      std::function<void(bool)> setExpanded, QWidget* parent = nullptr);

    const DuplicateGroup& group() const { return group_; }
    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded);
    void setFraction(double fraction);
    QWidget* header() const { return header_; }
    QWidget* copies() const { return copies_; }
    int selectedCount() const;
    QString selectionPillText() const;  // empty while the pill is hidden

    // Ticked copies beyond the first: the kept copy never counts, whatever the selection holds.
    static int selectedCount(const DuplicateGroup& group, const std::set<std::string>& selection);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();
    void buildCopies();
    void followChevron();

    AppState& state_;
    DuplicateGroup group_;
    DynamicColor tint_;
    std::function<void(bool)> setExpandedInOwner_;
    bool expanded_;
    bool hovering_ = false;
    QWidget* header_;
    SymbolView* chevron_;
    Pill* selection_;
    ToolsValueColumn* value_;
    QWidget* copies_ = nullptr;
};
