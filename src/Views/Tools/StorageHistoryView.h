#pragma once

#include <QWidget>

class AppState;
class StorageHistoryContent;

// The storage history tool: the content drawn from AppState's history store, in blue.
class StorageHistoryView : public QWidget {
    Q_OBJECT
public:
    explicit StorageHistoryView(AppState& state, QWidget* parent = nullptr);

    StorageHistoryContent* content() const { return content_; }

private:
    StorageHistoryContent* content_ = nullptr;
};
