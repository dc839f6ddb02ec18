#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class AppState;
class DashboardPage;
class LazyRowStack;
class QAbstractButton;
class ToolsEmptyCard;
class Banner;

// The startup items: how many there are and how many start, each with its switch, in the order
// the service gave them. Loads the list when first shown empty; the refresh button reloads it.
// Built once: a new list and the busy flag update it in place, so the switch under the pointer or
// the keyboard focus stays where it is.
class StartupItemsView : public QWidget {
    Q_OBJECT
public:
    StartupItemsView(AppState& state, const DynamicColor& tint, QWidget* parent = nullptr);

    int enabledCount() const;
    QAbstractButton* refreshButton() const { return refresh_; }
    ToolsEmptyCard* emptyCard() const { return empty_; }
    Banner* banner() const { return banner_; }
    LazyRowStack* rows() const { return rows_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void followList();
    void followWorking();

    AppState& state_;
    DynamicColor tint_;
    DashboardPage* page_;
    QAbstractButton* refresh_ = nullptr;
    ToolsEmptyCard* empty_ = nullptr;
    QWidget* listPart_ = nullptr;
    Banner* banner_ = nullptr;
    LazyRowStack* rows_ = nullptr;
    bool shown_ = false;
};
