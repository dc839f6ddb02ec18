#pragma once

#include <QString>

// The one way a search fails: `text` is shown as it is; `details`, when there are any, is the index
// tool's own report, shown beneath it.
struct SearchServiceError {
    static SearchServiceError queryFailed(QString text, QString details = {}) { return {std::move(text), std::move(details)}; }

    QString description() const { return text; }

    QString text;
    QString details;
};
