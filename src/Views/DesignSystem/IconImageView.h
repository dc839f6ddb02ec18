#pragma once

#include <QIcon>
#include <QWidget>

// An image (a file or application icon) fitted into its frame with its proportions kept.
class IconImageView : public QWidget {
    Q_OBJECT
public:
    IconImageView(const QIcon& icon, qreal side, QWidget* parent = nullptr);

    void setIcon(const QIcon& icon);
    const QIcon& icon() const { return icon_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon icon_;
    qreal side_;
};
