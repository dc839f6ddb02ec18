#pragma once

#include "Models/AppArtifact.h"

#include <QIcon>
#include <QWidget>

#include <functional>

class Pill;
class RankedRow;
class ToolCheckBox;

// One leftover with its tick: the tick, then a ranked row of its file icon, name over parent
// folder, size and bar in its kind's tint. A click anywhere flips the tick through `setSelected`;
// the row shows the tick its caller reports back (setTicked), dimmed to 55 % while unticked. The
// tooltip is the full path; the context menu offers reveal and copy path. A package's file is
// locked: its tick is disabled, clicks change nothing, and a pill says the package manager removes it.
class ArtifactRow : public QWidget {
    Q_OBJECT
public:
    ArtifactRow(const AppArtifact& artifact, const QIcon& icon, double fraction, std::function<void(bool)> setSelected, QWidget* parent = nullptr);

    void setTicked(bool ticked);
    bool isTicked() const { return ticked_; }
    bool isHovered() const { return hovering_; }
    double shownOpacity() const;
    double fraction() const { return fraction_; }
    const AppArtifact& artifact() const { return artifact_; }
    ToolCheckBox* checkBox() const { return check_; }
    RankedRow* rankedRow() const { return ranked_; }
    Pill* lockPill() const { return lock_; }  // null unless locked
    Pill* usedByPill() const { return usedBy_; }  // null unless another install uses it
    Pill* wholePill() const { return whole_; }  // null unless it is or leads into the user's own work
    Pill* dotfilesPill() const { return dotfiles_; }  // null unless a dotfiles repository keeps it

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // A locked item's badge and the way to remove it, by the tool that installed it.
    QString lockTitle() const;
    QString lockDetail() const;
    AppArtifact artifact_;
    std::function<void(bool)> setSelected_;
    ToolCheckBox* check_;
    RankedRow* ranked_;
    Pill* lock_ = nullptr;
    Pill* usedBy_ = nullptr;
    Pill* whole_ = nullptr;
    Pill* dotfiles_ = nullptr;
    class QGraphicsOpacityEffect* dimming_;
    double fraction_;
    bool ticked_ = false;
    bool hovering_ = false;
};
