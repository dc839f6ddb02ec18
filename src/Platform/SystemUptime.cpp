#include "Platform/SystemUptime.h"

#include "Platform/KernelFile.h"
#include "Platform/KernelText.h"

#include <charconv>
#include <cmath>

std::optional<double> SystemUptime::seconds(const SystemRoots& roots) {
    KernelFile file(roots.proc / "uptime");
    auto content = file.read(128);
    if (!content) return std::nullopt;
    std::string_view field = KernelText::nextField(*content);
    double value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size() || !std::isfinite(value) || value < 0) return std::nullopt;
    return value;
}
