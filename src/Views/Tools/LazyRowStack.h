#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QScrollArea;
class QVBoxLayout;

// A column of rows built only as far as the reader has scrolled: the first batch, then the next
// when the scroll area nears the end. Rows are keyed; setting new keys keeps the built row of every
// key that stays, so a list that grows or reorders builds only its new rows, a few per turn of the
// event loop. Rows stand in the keys' order, on screen and for the Tab key.
class LazyRowStack : public QWidget {
    Q_OBJECT
public:
    using Make = std::function<QWidget*(std::size_t index)>;
    using Refresh = std::function<void(std::size_t index, QWidget* row)>;  // for kept rows

    explicit LazyRowStack(QWidget* parent = nullptr);

    void setRows(std::vector<std::string> keys, Make make, Refresh refresh = {});
    void followScrolling(QScrollArea* area);
    void setSpacing(int spacing);  // between rows; 2 unless set
    void extend();  // builds the next batch

    std::size_t rowCount() const { return keys_.size(); }
    std::size_t builtCount() const { return shown_.size(); }
    QWidget* row(std::size_t index) const { return index < shown_.size() ? shown_[index] : nullptr; }

    static constexpr std::size_t batch = 120;
    static constexpr qint64 budgetMs = 8;  // for making rows in one turn of the event loop

private:
    void lay();
    void followOrderWithTab();

    QVBoxLayout* column_;
    std::vector<std::string> keys_;
    Make make_;
    Refresh refresh_;
    std::size_t limit_ = batch;
    // The rows of keys_[0, shown_.size()), in place and filled from their items; built rows not
    // placed yet, by key, the next one wanted last; the spare ones not refilled since the keys changed.
    std::vector<QWidget*> shown_;
    std::unordered_map<std::string, std::vector<QWidget*>> spare_;
    std::unordered_set<QWidget*> outdated_;
    bool continuing_ = false;
};
