#pragma once

#include "Views/DesignSystem/TextLabel.h"

class QAction;

// A message of the Docker tool on at most a few lines, the last one elided. The tool's output can be
// huge (a failure of hundreds of kilobytes without a space): only its beginning is laid out, and the
// whole message is copied through the label's context menu.
class DockerMessageLabel : public TextLabel {
    Q_OBJECT
public:
    DockerMessageLabel(const QFont& font, const DynamicColor& color, QWidget* parent = nullptr);

    void setMessage(const QString& message);
    const QString& message() const { return message_; }
    QAction* copyAction() const { return copy_; }

    static constexpr int maximumLines = 4;
    // More than four lines of the panel's width hold; the rest is never laid out.
    static constexpr qsizetype shownCharacters = 480;
    // The beginning of `message` that is laid out: whole characters, never half a surrogate pair.
    static QString shown(const QString& message);

private:
    QString message_;
    QAction* copy_;
};
