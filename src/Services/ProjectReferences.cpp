#include "Services/ProjectReferences.h"

#include "Foundation/IsPresent.h"
#include "Foundation/LiesWithin.h"
#include "Platform/FileContents.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>


#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <set>

namespace {

// Documents and projects are small text files; a larger one is no such file.
constexpr std::size_t largestDocument = 4 << 20;
constexpr std::size_t largestProject = 32 << 20;
constexpr std::size_t mostIncludedDocuments = 256;

std::string asciiLowercased(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = char(std::tolower((unsigned char)c));
    return lower;
}

// `name` as written in a document in `folder`: absolute as it stands, else below the folder.
std::string madeAbsolute(std::string_view name, const std::string& folder) {
    std::filesystem::path path(name);
    if (path.is_relative()) path = std::filesystem::path(folder) / path;
    return path.lexically_normal().native();
}

// The text of a LaTeX document without its comments ("%" up to the line's end, but not "\%").
std::string withoutComments(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    bool comment = false;
    std::size_t backslashes = 0;
    for (char c : text) {
        if (c == '\n') comment = false;
        else if (comment) continue;
        else if (c == '%' && backslashes % 2 == 0) {
            comment = true;
            continue;
        }
        backslashes = c == '\\' ? backslashes + 1 : 0;
        kept.push_back(c);
    }
    return kept;
}

// One command of a LaTeX document with its arguments in braces, the optional ones in brackets left out.
struct Command {
    std::string_view name;
    std::vector<std::string_view> arguments;
};

std::vector<Command> commandsOf(std::string_view text) {
    std::vector<Command> commands;
    for (std::size_t at = text.find('\\'); at != std::string_view::npos; at = text.find('\\', at)) {
        std::size_t end = at + 1;
        while (end < text.size() && std::isalpha((unsigned char)text[end])) ++end;
        Command command{text.substr(at + 1, end - at - 1), {}};
        at = end;
        if (command.name.empty()) {
            ++at;
            continue;
        }
        if (at < text.size() && text[at] == '*') ++at;
        while (true) {
            while (at < text.size() && std::isspace((unsigned char)text[at])) ++at;
            if (at >= text.size() || (text[at] != '{' && text[at] != '[')) break;
            const char open = text[at], close = open == '{' ? '}' : ']';
            int depth = 0;
            std::size_t closing = at;
            for (; closing < text.size(); ++closing) {
                if (text[closing] == open) ++depth;
                else if (text[closing] == close && --depth == 0) break;
            }
            if (closing >= text.size()) break;
            if (open == '{') command.arguments.push_back(text.substr(at + 1, closing - at - 1));
            at = closing + 1;
        }
        // TeX's own "\input chapter" takes a word without braces.
        if (command.name == "input" && command.arguments.empty()) {
            std::size_t word = at;
            while (word < text.size() && !std::isspace((unsigned char)text[word]) && text[word] != '\\' && text[word] != '}') ++word;
            if (word > at) command.arguments.push_back(text.substr(at, word - at));
        }
        commands.push_back(std::move(command));
    }
    return commands;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace((unsigned char)text.front())) text.remove_prefix(1);
    while (!text.empty() && std::isspace((unsigned char)text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> commaList(std::string_view text) {
    std::vector<std::string_view> items;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        if (std::string_view item = trimmed(text.substr(start, comma - start)); !item.empty()) items.push_back(item);
        start = comma + 1;
    }
    return items;
}

// "{figures/}{plots/}" of \graphicspath.
std::vector<std::string> groupsOf(std::string_view text) {
    std::vector<std::string> groups;
    for (std::size_t open = text.find('{'); open != std::string_view::npos; open = text.find('{', open + 1)) {
        const std::size_t close = text.find('}', open);
        if (close == std::string_view::npos) break;
        groups.emplace_back(trimmed(text.substr(open + 1, close - open - 1)));
        open = close;
    }
    return groups;
}

// The extensions LaTeX's engines try for a figure named without one.
constexpr std::array figureExtensions{".pdf", ".png", ".jpg", ".jpeg", ".eps", ".svg", ".PDF", ".PNG", ".JPG", ".JPEG", ".EPS"};

class LatexReader {
public:
    explicit LatexReader(std::string mainFolder) : mainFolder_(std::move(mainFolder)) {}

    // Reads a document, and the documents it includes; false when it cannot be read.
    bool read(const std::string& path, bool mustBeMain) {
        if (!documents_.insert(path).second || documents_.size() > mostIncludedDocuments) return true;
        const std::optional<std::string> text = FileContents::read(path, largestDocument);
        if (!text) return false;
        const std::string code = withoutComments(*text);
        const std::vector<Command> commands = commandsOf(code);
        if (mustBeMain && std::none_of(commands.begin(), commands.end(), [](const Command& command) { return command.name == "documentclass"; }))
            return false;
        const std::string folder = folderOfText(path);
        for (const Command& command : commands)
            if (command.name == "graphicspath" && !command.arguments.empty())
                for (std::string& group : groupsOf(command.arguments[0])) graphicsPaths_.push_back(std::move(group));
        for (const Command& command : commands) {
            if (command.arguments.empty()) continue;
            const std::string_view name = command.name;
            const std::string_view last = trimmed(command.arguments.back());
            if (name == "includegraphics" || name == "includesvg" || name == "includepdf") {
                for (const std::string& place : graphicsPlaces())
                    addFound(place + std::string(last), folder, figureExtensions);
            } else if (name == "input" || name == "include" || name == "subfile" || name == "subfileinclude") {
                includeDocument(std::string(last), folder);
            } else if ((name == "import" || name == "subimport" || name == "inputfrom" || name == "subinputfrom") && command.arguments.size() >= 2) {
                includeDocument(std::string(trimmed(command.arguments[0])) + std::string(last), folder);
            } else if (name == "bibliography") {
                for (std::string_view base : commaList(last)) addFound(std::string(base), folder, std::array{".bib"});
            } else if (name == "addbibresource" || name == "lstinputlisting" || name == "verbatiminput" || name == "VerbatimInput" ||
                       name == "inputminted") {
                addFound(std::string(last), folder, std::array<const char*, 0>{});
            }
        }
        return true;
    }

    std::vector<std::string> found() const { return {found_.begin(), found_.end()}; }

private:
    std::vector<std::string> graphicsPlaces() const {
        std::vector<std::string> places{""};
        places.insert(places.end(), graphicsPaths_.begin(), graphicsPaths_.end());
        return places;
    }

    // Where LaTeX finds a file: below the main document's folder, where it runs; also below the
    // including document's, where a package makes it look there.
    template <std::size_t N>
    std::vector<std::string> addFound(const std::string& name, const std::string& folder, const std::array<const char*, N>& extensions) {
        std::vector<std::string> added;
        if (name.empty()) return added;
        for (const std::string& base : {mainFolder_, folder}) {
            const std::string path = madeAbsolute(name, base);
            if (isFileItself(path) && found_.insert(path).second) added.push_back(path);
            for (const char* extension : extensions)
                if (const std::string named = path + extension; isFileItself(named) && found_.insert(named).second) added.push_back(named);
        }
        return added;
    }

    void includeDocument(const std::string& name, const std::string& folder) {
        for (const std::string& path : addFound(name, folder, std::array{".tex"}))
            if (path.ends_with(".tex")) read(path, false);
    }

    std::string mainFolder_;
    std::set<std::string> documents_;
    std::set<std::string> found_;
    std::vector<std::string> graphicsPaths_;
};

// Every text under a "path" key, at any depth: OpenShot's files and clips' readers.
void collectPaths(const QJsonValue& value, std::vector<QString>& paths) {
    if (value.isArray()) {
        for (const QJsonValue& item : value.toArray()) collectPaths(item, paths);
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (it.key() == QLatin1String("path") && it.value().isString()) paths.push_back(it.value().toString());
            else collectPaths(it.value(), paths);
        }
    }
}

}  // namespace

namespace ProjectReferences {

std::optional<Kind> kindOf(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || fileName.size() - dot > 9) return std::nullopt;
    const std::string extension = asciiLowercased(fileName.substr(dot + 1));
    if (extension == "tex") return Kind::latexDocument;
    if (extension == "kdenlive" || extension == "mlt" || extension == "osp") return Kind::videoProject;
    return std::nullopt;
}

std::vector<std::string> includedByDocument(const std::string& path) {
    LatexReader reader(folderOfText(path));
    if (!reader.read(path, true)) return {};
    return reader.found();
}

std::vector<std::string> namedByVideoProject(const std::string& path) {
    const std::optional<std::string> text = FileContents::read(path, largestProject);
    if (!text) return {};
    const std::string folder = folderOfText(path);
    std::vector<std::string> named;
    if (asciiLowercased(path).ends_with(".osp")) {
        // OpenShot writes the project's own files as "@assets/…", in "NAME_Assets" beside it.
        const std::string fileName = path.substr(path.rfind('/') + 1);
        const std::string assets = folder + "/" + fileName.substr(0, fileName.rfind('.')) + "_Assets";
        std::vector<QString> paths;
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromRawData(text->data(), qsizetype(text->size())));
        collectPaths(document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()), paths);
        for (const QString& written : paths) {
            const QByteArray bytes = written.toUtf8();
            const std::string_view name(bytes.constData(), std::size_t(bytes.size()));
            if (name.starts_with("@assets/")) named.push_back(madeAbsolute(name.substr(8), assets));
            else if (!name.empty() && !name.starts_with('@')) named.push_back(madeAbsolute(name, folder));
        }
        return named;
    }
    // MLT XML: each producer's "resource", and Kdenlive's copies of it, relative to the root folder
    // the project names.
    QXmlStreamReader xml(QByteArray::fromRawData(text->data(), qsizetype(text->size())));
    std::string root = folder;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("mlt")) {
            const QByteArray written = xml.attributes().value(QLatin1String("root")).toUtf8();
            if (written.startsWith('/')) root = std::filesystem::path(written.toStdString()).lexically_normal().native();
        } else if (xml.name() == QLatin1String("property")) {
            const QStringView property = xml.attributes().value(QLatin1String("name"));
            if (property != QLatin1String("resource") && property != QLatin1String("warp_resource") && property != QLatin1String("kdenlive:originalurl") &&
                property != QLatin1String("kdenlive:proxy"))
                continue;
            const QByteArray value = xml.readElementText().trimmed().toUtf8();
            if (!value.isEmpty()) named.push_back(madeAbsolute(std::string_view(value.constData(), std::size_t(value.size())), root));
        }
    }
    return named;
}

}  // namespace ProjectReferences
