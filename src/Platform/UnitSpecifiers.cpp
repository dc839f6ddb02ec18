#include "Platform/UnitSpecifiers.h"

#include <pwd.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A unit name's escapes undone as systemd does: "-" stands for "/", "\xNN" for the byte NN.
std::string unescapedUnitText(std::string_view text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '-') {
            plain += '/';
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            plain += static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            plain += text[i];
        }
    }
    return plain;
}

std::string userName() {
    const passwd* user = ::getpwuid(::geteuid());
    return user && user->pw_name ? user->pw_name : std::to_string(::geteuid());
}

}  // namespace

std::string UnitSpecifiers::expanded(std::string_view text, std::string_view unitName, const SystemRoots* roots) {
    const size_t dot = unitName.rfind('.');
    const std::string_view stem = unitName.substr(0, dot);
    const size_t at = stem.find('@');
    const std::string_view prefix = stem.substr(0, at);
    const std::string_view instance = at == std::string_view::npos ? std::string_view() : stem.substr(at + 1);
    std::string expanded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 == text.size()) {
            expanded += text[i];
            continue;
        }
        const char specifier = text[++i];
        switch (specifier) {
        case '%': expanded += '%'; continue;
        case 'n': expanded += unitName; continue;
        case 'N': expanded += stem; continue;
        case 'p': expanded += prefix; continue;
        case 'P': expanded += unescapedUnitText(prefix); continue;
        case 'i': expanded += instance; continue;
        case 'I': expanded += unescapedUnitText(instance); continue;
        default: break;
        }
        if (!roots) {
            expanded += text.substr(i - 1, 2);
            continue;
        }
        switch (specifier) {
        case 'h': expanded += roots->machinePath(roots->home); break;
        case 'E': expanded += roots->machinePath(roots->configHome); break;
        case 'S': expanded += roots->machinePath(roots->stateHome); break;
        case 'C': expanded += roots->machinePath(roots->cacheHome); break;
        case 't': expanded += "/run/user/" + std::to_string(::geteuid()); break;
        case 'U': expanded += std::to_string(::geteuid()); break;
        case 'u': expanded += userName(); break;
        default: expanded += text.substr(i - 1, 2);
        }
    }
    return expanded;
}
