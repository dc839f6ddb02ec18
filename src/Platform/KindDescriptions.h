#pragma once

#include <QHash>
#include <QString>

#include <filesystem>

// Readable kind descriptions of files by extension ("PNG image", "PDF document"), from the MIME
// database's comments. Each extension is looked up once per instance, case-insensitively; an
// extension the database does not know reads as itself in capitals. Make one per operation and use
// it from one thread at a time.
class KindDescriptions {
public:
    QString kind(const std::filesystem::path& file);

    // The part of the name after its last dot, lowercased; empty for "name", ".hidden" and "name.".
    static QString lowercasedExtension(const std::filesystem::path& file);

private:
    QHash<QString, QString> cache_;
};
