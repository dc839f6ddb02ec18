#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class AppState;
class DashboardPage;
class QAbstractButton;
class ToolsEmptyCard;
class Banner;

// The startup items: how many there are and how many start, each with its switch, in the order
// the service gave them. Loads the list when first shown empty; the refresh button reloads it.
class StartupItemsView : public QWidget {
    Q_OBJECT
public:
    StartupItemsView(AppState& state, const DynamicColor& tint, QWidget* parent = nullptr);

    int enabledCount() const;
    QAbstractButton* refreshButton() const { return refresh_; }
    ToolsEmptyCard* emptyCard() const { return empty_; }
    Banner* banner() const { return banner_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void rebuild();

    AppState& state_;
    DynamicColor tint_;
    DashboardPage* page_;
    QAbstractButton* refresh_ = nullptr;
    ToolsEmptyCard* empty_ = nullptr;
    Banner* banner_ = nullptr;
    bool shown_ = false;
};
