#pragma once

#include "Models/ArtifactCategory.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

#include <cstdint>

class TextLabel;

// The heading above the leftovers of one kind: its symbol in the tint, its title in capitals and
// the kind's total size.
class CategoryHeader : public QWidget {
    Q_OBJECT
public:
    CategoryHeader(ArtifactCategory category, const DynamicColor& tint, std::int64_t total, QWidget* parent = nullptr);

    ArtifactCategory category() const { return category_; }
    TextLabel* titleLabel() const { return title_; }
    TextLabel* totalLabel() const { return total_; }

private:
    ArtifactCategory category_;
    TextLabel* title_;
    TextLabel* total_;
};
