#include "Views/Tools/LazyRowStack.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

std::vector<std::string> keys(int first, int count) {
    std::vector<std::string> made;
    for (int i = first; i < first + count; ++i) made.push_back("item" + std::to_string(i));
    return made;
}

// A stack of labels that show their key, counting how often each row is refilled.
struct CountedRows {
    LazyRowStack stack;
    std::vector<std::string> shown;
    std::map<QWidget*, int> refills;

    void set(std::vector<std::string> keys) {
        shown = keys;
        stack.setRows(
            std::move(keys), [this](std::size_t index) -> QWidget* { return new QLabel(QString::fromStdString(shown[index])); },
            [this](std::size_t index, QWidget* row) {
                static_cast<QLabel*>(row)->setText(QString::fromStdString(shown[index]));
                ++refills[row];
            });
    }
    bool built(std::size_t count) {  // the bound only ends a failing run: a slow machine builds them over many turns
        return QTest::qWaitFor([&] { return stack.builtCount() == count; }, 120000);
    }
    QString text(std::size_t index) const { return static_cast<QLabel*>(stack.row(index))->text(); }
};

}  // namespace

// A kept row is refilled once for each new list, when it takes its place: not again on every later
// turn that makes more rows, nor on every batch the reader scrolls to.
TEST(LazyRowStack, AKeptRowIsRefilledOncePerNewList) {
    CountedRows rows;
    rows.stack.resize(400, 600);
    rows.stack.show();
    rows.set(keys(0, 2 * int(LazyRowStack::batch)));
    ASSERT_TRUE(rows.built(LazyRowStack::batch));
    EXPECT_TRUE(rows.refills.empty());

    rows.set(keys(0, 2 * int(LazyRowStack::batch)));
    EXPECT_EQ(rows.refills.size(), LazyRowStack::batch);
    rows.stack.extend();
    ASSERT_TRUE(rows.built(2 * LazyRowStack::batch));
    for (const auto& [row, count] : rows.refills) EXPECT_EQ(count, 1);
    EXPECT_EQ(rows.refills.size(), LazyRowStack::batch);

    // New rows among the kept ones, the kept ones in reverse: each row is where its key is, and a
    // kept row was refilled once more, whichever turn placed it.
    std::vector<std::string> mixed;
    const std::vector<std::string> before = keys(0, 2 * int(LazyRowStack::batch));
    for (std::size_t i = 0; i < before.size(); ++i) {
        mixed.push_back(before[before.size() - 1 - i]);
        if (i % 2 == 0) mixed.push_back("new" + std::to_string(i));
    }
    std::map<std::string, QWidget*> kept;
    for (std::size_t i = 0; i < rows.stack.builtCount(); ++i) kept[rows.text(i).toStdString()] = rows.stack.row(i);
    const std::map<QWidget*, int> refillsBefore = rows.refills;
    rows.set(mixed);
    ASSERT_TRUE(rows.built(2 * LazyRowStack::batch));  // as far as the reader has scrolled
    for (std::size_t i = 0; i < rows.stack.builtCount(); ++i) {
        EXPECT_EQ(rows.text(i).toStdString(), mixed[i]) << i;
        if (auto found = kept.find(mixed[i]); found != kept.end()) {
            EXPECT_EQ(rows.stack.row(i), found->second) << mixed[i];
            const auto earlier = refillsBefore.find(found->second);
            EXPECT_EQ(rows.refills[found->second], (earlier == refillsBefore.end() ? 0 : earlier->second) + 1) << mixed[i];
        }
    }
}
