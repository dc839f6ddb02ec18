#pragma once

#ifndef Q_MOC_RUN  // moc of Qt 6.4 cannot parse <compare>; QObject headers include this one
#include <compare>
#endif

// A point in time held as seconds since 2001-01-01 00:00:00 UTC, the form the stored records use,
// so a value survives a round trip through its stored number exactly.
class Instant {
public:
    static constexpr double unixOffsetSeconds = 978307200.0;  // 1970-01-01 to 2001-01-01

    constexpr Instant() = default;
    static Instant now();
    static constexpr Instant fromReferenceSeconds(double seconds) { return Instant(seconds); }
    static constexpr Instant fromUnixSeconds(double seconds) { return Instant(seconds - unixOffsetSeconds); }
    static Instant fromTimespec(long long seconds, long long nanoseconds);

    constexpr double referenceSeconds() const { return seconds_; }
    constexpr double unixSeconds() const { return seconds_ + unixOffsetSeconds; }
    constexpr Instant addingSeconds(double seconds) const { return Instant(seconds_ + seconds); }
    constexpr double secondsSince(Instant earlier) const { return seconds_ - earlier.seconds_; }

    constexpr bool operator==(const Instant&) const = default;
    constexpr auto operator<=>(const Instant&) const = default;

private:
    constexpr explicit Instant(double seconds) : seconds_(seconds) {}
    double seconds_ = 0;
};
