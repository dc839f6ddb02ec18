#include "Services/BatterySampler.h"
#include "Services/CounterRates.h"
#include "Services/MemorySampler.h"
#include "Services/ProcessorSampler.h"
#include "Support/FakeMachine.h"

#include <gtest/gtest.h>

TEST(ProcessorSampler, FirstSampleIsZeroThenSharesOfTheInterval) {
    FakeMachine machine;
    machine.cpuTicks(1000, 100, 500, 8000, 200, 20, 30, 999);
    ProcessorSampler sampler(machine.roots());
    CPUDetail cpu;
    EXPECT_EQ(sampler.cpuUsage(cpu), 0.0);
    EXPECT_EQ(cpu.user, 0);
    EXPECT_EQ(cpu.system, 0);

    // +300 user (200 normal, 100 nice), +100 system (60 + 20 irq + 20 softirq), +600 idle (500 + 100 iowait);
    // stolen time is no part of the total.
    machine.cpuTicks(1200, 200, 560, 8500, 300, 40, 50, 5000);
    double usage = *sampler.cpuUsage(cpu);
    EXPECT_DOUBLE_EQ(cpu.user, 0.3);
    EXPECT_DOUBLE_EQ(cpu.system, 0.1);
    EXPECT_DOUBLE_EQ(usage, 0.4);

    // No tick elapsed: 0, and the published shares stay.
    EXPECT_EQ(sampler.cpuUsage(cpu), 0.0);
    EXPECT_DOUBLE_EQ(cpu.user, 0.3);

    // A user counter that went back counts 0 rather than wrapping around.
    machine.cpuTicks(100, 0, 660, 10000, 300, 40, 50, 5000);
    usage = *sampler.cpuUsage(cpu);
    EXPECT_EQ(cpu.user, 0);
    EXPECT_DOUBLE_EQ(cpu.system, 100.0 / 300);
    EXPECT_DOUBLE_EQ(usage, 100.0 / 300);

    machine.write("proc/stat", "intr 1 2 3\n");
    EXPECT_FALSE(sampler.cpuUsage(cpu));
}

TEST(MemorySampler, SplitAddsUpToTheTotal) {
    FakeMachine machine;
    machine.write("proc/meminfo",
                  "MemTotal:       16000000 kB\nMemFree:         2000000 kB\nMemAvailable:    9000000 kB\n"
                  "Buffers:          500000 kB\nCached:          6000000 kB\nSwapCached:            0 kB\n"
                  "AnonPages:       4000000 kB\nShmem:            1000000 kB\nSReclaimable:     700000 kB\n"
                  "SUnreclaim:       300000 kB\nZswap:             50000 kB\nSwapTotal:       2000000 kB\n"
                  "SwapFree:        1500000 kB\n");
    machine.write("proc/pressure/memory", "some avg10=0.00 avg60=0.00 avg300=0.00 total=0\nfull avg10=0.00 avg60=0.00 avg300=0.00 total=0\n");
    MemorySampler sampler(machine.roots());
    auto sample = sampler.memoryUsage();
    ASSERT_TRUE(sample);
    const MemoryDetail& detail = sample->detail;
    constexpr std::uint64_t k = 1024;
    EXPECT_EQ(sample->total, 16000000 * k);
    EXPECT_EQ(detail.free, 2000000 * k);
    EXPECT_EQ(detail.app, 5000000 * k);
    EXPECT_EQ(detail.cached, (500000 + 5000000 + 700000) * k);
    EXPECT_EQ(detail.compressed, 50000 * k);
    EXPECT_EQ(detail.wired, (16000000 - 2000000 - 5000000 - 6200000 - 50000) * k);
    EXPECT_EQ(detail.free + detail.app + detail.cached + detail.compressed + detail.wired, sample->total);
    EXPECT_EQ(detail.swapUsed, 500000 * k);
    EXPECT_EQ(detail.pressure, MemoryPressure::normal);
}

TEST(MemorySampler, MissingFieldsAndOddValuesNeverWrap) {
    FakeMachine machine;
    // An old kernel: no Shmem, SReclaimable, Zswap or swap lines, and no pressure file.
    machine.write("proc/meminfo", "MemTotal: 1000 kB\nMemFree: 100 kB\nBuffers: 10 kB\nCached: 200 kB\nAnonPages: 300 kB\nBogus: x kB\n");
    MemorySampler sampler(machine.roots());
    auto sample = sampler.memoryUsage();
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->detail.app, 300u * 1024);
    EXPECT_EQ(sample->detail.cached, 210u * 1024);
    EXPECT_EQ(sample->detail.compressed, 0u);
    EXPECT_EQ(sample->detail.wired, 390u * 1024);
    EXPECT_EQ(sample->detail.swapUsed, 0u);
    EXPECT_EQ(sample->detail.pressure, MemoryPressure::normal);

    // Shared memory above the cache, and parts above the total: 0, never a wrapped-around value.
    MemoryReading odd;
    odd.total = 100;
    odd.cached = 10;
    odd.shared = 50;
    odd.anonymous = 200;
    odd.swapTotal = 5;
    odd.swapFree = 9;
    MemoryDetail split = MemorySampler::split(odd, std::nullopt).detail;
    EXPECT_EQ(split.cached, 0u);
    EXPECT_EQ(split.wired, 0u);
    EXPECT_EQ(split.swapUsed, 0u);

    // A figure too large for bytes is unreadable, not wrapped around into a small one.
    machine.write("proc/meminfo", "MemTotal: 1000 kB\nMemFree: 18014398509481985 kB\n");
    EXPECT_EQ(sampler.memoryUsage()->detail.free, 0u);

    // Without a total the reading is unusable.
    machine.write("proc/meminfo", "MemFree: 100 kB\n");
    EXPECT_FALSE(sampler.memoryUsage());
}

TEST(MemorySampler, PressureFromStallFigures) {
    MemoryReading reading;
    reading.total = 1;
    auto level = [&](double some, double full) { return MemorySampler::split(reading, MemoryStall{some, full}).detail.pressure; };
    EXPECT_EQ(level(9.99, 0), MemoryPressure::normal);
    EXPECT_EQ(level(10, 2), MemoryPressure::warning);
    EXPECT_EQ(level(80, 10), MemoryPressure::critical);

    FakeMachine machine;
    machine.write("proc/meminfo", "MemTotal: 1000 kB\n");
    machine.write("proc/pressure/memory", "some avg10=35.50 avg60=10.00 avg300=2.00 total=123\nfull avg10=4.20 avg60=1.00 avg300=0.10 total=45\n");
    EXPECT_EQ(MemorySampler(machine.roots()).memoryUsage()->detail.pressure, MemoryPressure::warning);
}

TEST(CounterRates, FirstReadingIsTheBaselineAndIntervalsHaveAFloor) {
    CounterRates rates;
    Instant start = Instant::fromReferenceSeconds(1000);
    EXPECT_FALSE(rates.advance(100, 100, start));
    auto step = rates.advance(1100, 300, start.addingSeconds(2));
    ASSERT_TRUE(step);
    EXPECT_EQ(step->firstAdded, 1000u);
    EXPECT_EQ(step->firstPerSecond, 500u);
    EXPECT_EQ(step->secondPerSecond, 100u);
    // A clock stepped back: the floor of 0.2 s; a total that went down: nothing added.
    step = rates.advance(1200, 200, start.addingSeconds(-5));
    EXPECT_EQ(step->firstPerSecond, 500u);
    EXPECT_EQ(step->secondAdded, 0u);
    EXPECT_EQ(step->secondPerSecond, 0u);
    EXPECT_EQ(CounterRates::truncated(1e30), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(CounterRates::truncated(-3), 0u);
}

namespace {

void writeSupply(FakeMachine& machine, const std::string& name, const std::string& properties) {
    machine.write("sys/class/power_supply/" + name + "/uevent", "POWER_SUPPLY_NAME=" + name + "\n" + properties);
}

}  // namespace

TEST(BatterySampler, MachineWithoutBattery) {
    FakeMachine machine;
    BatterySampler sampler(machine.roots());
    BatteryStatus status = sampler.batteryStatus();
    EXPECT_FALSE(status.percent);
    EXPECT_FALSE(status.charging);
    EXPECT_EQ(sampler.batteryDetail(), BatteryDetail{});

    // A desktop whose mains supply is reported, and a mouse's battery, which is not the machine's.
    writeSupply(machine, "AC", "POWER_SUPPLY_TYPE=Mains\nPOWER_SUPPLY_ONLINE=1\n");
    writeSupply(machine, "hidpp_battery_0", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_SCOPE=Device\nPOWER_SUPPLY_CAPACITY=40\n");
    status = sampler.batteryStatus();
    EXPECT_FALSE(status.percent);
    EXPECT_TRUE(status.charging);
    BatteryDetail detail = sampler.batteryDetail();
    EXPECT_TRUE(detail.isExternalPower);
    EXPECT_FALSE(detail.health);
    EXPECT_FALSE(detail.watts);
    EXPECT_FALSE(detail.minutesRemaining);
}

TEST(BatterySampler, LaptopOnBattery) {
    FakeMachine machine;
    writeSupply(machine, "AC", "POWER_SUPPLY_ONLINE=0\n");
    machine.write("sys/class/power_supply/AC/type", "Mains\n");  // a kernel that leaves the type out of uevent
    writeSupply(machine, "BAT0",
                "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\nPOWER_SUPPLY_PRESENT=1\n"
                "POWER_SUPPLY_CYCLE_COUNT=312\nPOWER_SUPPLY_VOLTAGE_NOW=12000000\nPOWER_SUPPLY_CURRENT_NOW=-1500000\n"
                "POWER_SUPPLY_CHARGE_FULL_DESIGN=5000000\nPOWER_SUPPLY_CHARGE_FULL=4500000\nPOWER_SUPPLY_CHARGE_NOW=2250000\n"
                "POWER_SUPPLY_CAPACITY=49\n");
    BatterySampler sampler(machine.roots());
    BatteryStatus status = sampler.batteryStatus();
    EXPECT_DOUBLE_EQ(*status.percent, 0.5);
    EXPECT_FALSE(status.charging);
    BatteryDetail detail = sampler.batteryDetail();
    EXPECT_DOUBLE_EQ(*detail.health, 0.9);
    EXPECT_EQ(detail.cycleCount, 312);
    EXPECT_DOUBLE_EQ(*detail.watts, 18.0);  // 12 V at 1.5 A discharging
    EXPECT_EQ(detail.minutesRemaining, 90);  // 2.25 Ah at 1.5 A
    EXPECT_FALSE(detail.isExternalPower);

    // The kernel's own estimate wins: 5430 s is 90 minutes.
    writeSupply(machine, "BAT0",
                "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Discharging\nPOWER_SUPPLY_TIME_TO_EMPTY_NOW=5430\n"
                "POWER_SUPPLY_ENERGY_FULL_DESIGN=50000000\nPOWER_SUPPLY_ENERGY_FULL=52000000\nPOWER_SUPPLY_ENERGY_NOW=13000000\n"
                "POWER_SUPPLY_POWER_NOW=9500000\n");
    detail = sampler.batteryDetail();
    EXPECT_EQ(detail.minutesRemaining, 90);
    EXPECT_DOUBLE_EQ(*detail.health, 1.0);  // capped
    EXPECT_DOUBLE_EQ(*detail.watts, 9.5);
    EXPECT_DOUBLE_EQ(*sampler.batteryStatus().percent, 0.25);
}

TEST(BatterySampler, ChargingAndBrokenCapacities) {
    FakeMachine machine;
    writeSupply(machine, "BAT1",
                "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Charging\nPOWER_SUPPLY_ENERGY_FULL_DESIGN=0\n"
                "POWER_SUPPLY_ENERGY_FULL=0\nPOWER_SUPPLY_ENERGY_NOW=100\nPOWER_SUPPLY_POWER_NOW=-20000000\n");
    BatterySampler sampler(machine.roots());
    BatteryStatus status = sampler.batteryStatus();
    EXPECT_EQ(status.percent, 0.0);  // a full capacity of 0 reads empty, not unknown
    EXPECT_TRUE(status.charging);
    BatteryDetail detail = sampler.batteryDetail();
    EXPECT_FALSE(detail.health);  // no design capacity
    EXPECT_FALSE(detail.minutesRemaining);
    EXPECT_FALSE(detail.cycleCount);
    EXPECT_DOUBLE_EQ(*detail.watts, 20.0);
    EXPECT_TRUE(detail.isExternalPower);

    // A cycle count beyond what the record holds is unknown, never a wrapped negative number.
    writeSupply(machine, "BAT1", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_CYCLE_COUNT=4294967608\n");
    EXPECT_FALSE(sampler.batteryDetail().cycleCount);

    // Only a percentage: used as it stands.
    writeSupply(machine, "BAT1", "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_STATUS=Full\nPOWER_SUPPLY_CAPACITY=100\n");
    EXPECT_DOUBLE_EQ(*sampler.batteryStatus().percent, 1.0);
    EXPECT_TRUE(sampler.batteryStatus().charging);
}
