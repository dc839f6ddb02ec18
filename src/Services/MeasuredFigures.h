#pragma once

// Which figures of the monitor's latest sample were really measured. The others hold placeholders
// (zero, or the last reading) that screens show as unknown, never as a reading of zero.
struct MeasuredFigures {
    bool cpu = false;          // processor use and its user and system split: two readings of the counters apart
    bool cpuSession = false;   // the session's average and peak: at least one measured processor use
    bool memory = false;
    bool network = false;      // this sample's rates: two readings of the counters apart
    bool networkSession = false;  // totals and peak since the first rate
    bool disk = false;         // this sample's rates
    bool diskSession = false;  // totals since the first rate
    bool loadAverage = false;
    bool appRates = false;     // per-application shares and write rates: two passes apart

    bool operator==(const MeasuredFigures&) const = default;
};
