#include "Foundation/PathText.h"

#include <QStringDecoder>

namespace PathText {

QString display(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString display(const std::filesystem::path& path) {
    return display(std::string_view(path.native()));
}

std::filesystem::path fromText(const QString& text) {
    QByteArray bytes = text.toUtf8();
    return std::filesystem::path(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

bool isValidUtf8(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString ignored = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

}  // namespace PathText
