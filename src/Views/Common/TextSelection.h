#pragma once

#include <QObject>
#include <QRectF>

#include <functional>

class QWidget;
class TextLabel;
class Pill;

// Makes a drawn text selectable and copyable as a whole: a click or a double click selects it
// (shown as a highlight behind it), the copy keys and the context menu copy the full text, also
// when the label shows it elided. Losing the focus clears the selection.
class TextSelection : public QObject {
    Q_OBJECT
public:
    using TextSource = std::function<QString()>;
    using AreaSource = std::function<QRectF()>;
    static constexpr qreal capsule = -1;  // a radius: half the highlight's height

    TextSelection(QWidget* widget, TextSource text, AreaSource area, qreal radius);

    // `copied` gives the text as stored where the label shows it marked up for reading (paths and
    // names with their direction controls made visible); by default the label's own text.
    static TextSelection* attach(TextLabel* label, TextSource copied = {});
    static TextSelection* attach(Pill* pill, TextSource copied = {});

    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    void copy() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMenu(const QPoint& globalPos);

    QWidget* widget_;
    TextSource text_;
    AreaSource area_;
    qreal radius_;
    bool selected_ = false;
};
