#include "Views/Projects/ProjectFormat.h"

#include "Foundation/SaturatingSum.h"
#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Models/ByteFormatting.h"
#include "Models/TimeFormatting.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace ProjectFormat {

QString subtitle(const DevProject& project) {
    if (project.pids.size() < 2) return DisplayText::name(QString::fromStdString(project.runtime));
    return AppLocalization::format("monitor.processCount", {(long long)project.pids.size()});
}

QString ports(const std::vector<DevProject>& projects) {
    std::vector<int> all;
    for (const DevProject& project : projects) all.insert(all.end(), project.ports.begin(), project.ports.end());
    std::sort(all.begin(), all.end());
    QStringList texts;
    for (int port : all) texts << QString::number(port);
    return texts.join(QStringLiteral(", "));
}

QString duration(double seconds, const QLocale& locale) { return TimeFormatting::singleUnit(std::max(seconds, 60.0), locale); }

QString memory(const std::vector<DevProject>& projects) {
    constexpr std::uint64_t largest = std::numeric_limits<std::int64_t>::max();
    std::int64_t sum = 0;
    for (const DevProject& project : projects) sum = saturatingSum(sum, std::int64_t(std::min(project.memory, largest)));
    return ByteFormatting::string(sum);
}

}  // namespace ProjectFormat
