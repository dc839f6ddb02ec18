#include "Views/Tools/StorageHistoryView.h"

#include "Services/AppState.h"
#include "Views/DesignSystem/DS.h"
#include "Views/Tools/StorageHistoryContent.h"

#include <QVBoxLayout>

StorageHistoryView::StorageHistoryView(AppState& state, QWidget* parent) : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    if (StorageHistoryService* history = state.storageHistory()) {
        content_ = new StorageHistoryContent(*history, DS::blue);
        outer->addWidget(content_);
    }
}
