#include "Platform/LoadAverage.h"

#include "Platform/KernelText.h"

#include <charconv>
#include <cmath>

LoadAverage::LoadAverage(const SystemRoots& roots) : file_(roots.proc / "loadavg") {}

std::optional<double> LoadAverage::oneMinute() {
    auto content = file_.read();
    if (!content) return std::nullopt;
    std::string_view field = KernelText::nextField(*content);
    double value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || field.empty() || !std::isfinite(value) || value < 0) return std::nullopt;
    return value;
}
