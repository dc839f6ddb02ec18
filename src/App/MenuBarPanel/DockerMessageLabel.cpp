#include "App/MenuBarPanel/DockerMessageLabel.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

DockerMessageLabel::DockerMessageLabel(const QFont& font, const DynamicColor& color, QWidget* parent)
    : TextLabel({}, font, color, parent), copy_(new QAction(AppLocalization::string("docker.copyMessage"), this)) {
    setWordWrap(true);
    setMaximumLineCount(maximumLines);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    addAction(copy_);
    connect(copy_, &QAction::triggered, this, [this] { QGuiApplication::clipboard()->setText(message_); });
}

QString DockerMessageLabel::shown(const QString& message) {
    if (message.size() <= shownCharacters) return message;
    qsizetype end = shownCharacters;
    if (message.at(end - 1).isHighSurrogate()) --end;
    return message.left(end) + QStringLiteral("…");
}

void DockerMessageLabel::setMessage(const QString& message) {
    if (message == message_) return;
    message_ = message;
    setText(shown(DisplayText::name(message)));
}
