#pragma once

#include <QString>

// The one way a search fails; the text is shown as it is.
struct SearchServiceError {
    static SearchServiceError queryFailed(QString text) { return {std::move(text)}; }

    QString description() const { return text; }

    QString text;
};
