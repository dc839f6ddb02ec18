#pragma once

#include <QWidget>

class QVBoxLayout;

// The card surface: content padded on every edge, stretched to the width offered and hugging the
// top-leading corner, on DS.card in a continuous rounded rectangle outlined in DS.hairline.
// Put the content in contentLayout(), or wrap an existing widget with card().
class CardModifier : public QWidget {
    Q_OBJECT
public:
    CardModifier(qreal padding, qreal radius, QWidget* parent = nullptr);

    QVBoxLayout* contentLayout() const { return layout_; }
    // The card surface alone, without its outline: a bar that sits on the card colour.
    void setOutlined(bool outlined);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal radius_;
    bool outlined_ = true;
    QVBoxLayout* layout_;
};

// `content` made a card: the counterpart of giving a view the card look.
CardModifier* card(QWidget* content, qreal padding, qreal radius);
