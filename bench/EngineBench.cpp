// Speed of the engine's hot operations, of a whole draw command over the
// in-memory field store, and of the ticket played on against the generator
// alone. Standard output goes to /dev/null so that the trace costs its writes
// but not a console's drawing; the report goes to standard error.
#include "DrawCommand.h"
#include "Lottery.h"
#include "MemoryFieldStore.h"
#include "Simulation.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <iostream>

namespace lotto {
namespace {

void BM_DrawSeven(benchmark::State& state)
{
    RandomSource random;
    for (auto _ : state)
        benchmark::DoNotOptimize(drawSeven(random));
}
BENCHMARK(BM_DrawSeven);

void BM_CheckTicket(benchmark::State& state)
{
    Ticket ticket = {9, 6, 23, 40, 2, 33};
    for (auto _ : state) {
        benchmark::DoNotOptimize(ticket);
        benchmark::DoNotOptimize(checkTicket(ticket));
    }
}
BENCHMARK(BM_CheckTicket);

void BM_DrawCommand(benchmark::State& state)
{
    RandomSource random;
    testing::MemoryFieldStore fields;
    const char* ticket[] = {"44", "3", "25", "15", "7", "9"};
    for (auto _ : state) {
        for (int i = 0; i < ticketSize; ++i)
            fields.setText(ticketField(i), ticket[i]);
        drawCommand(fields, random);
    }
}
BENCHMARK(BM_DrawCommand);

// The random numbers that a count of draws takes, repeats included, counted
// through the engine's drawing rule.
std::int64_t randomNumbersFor(std::int64_t draws)
{
    struct CountingSource {
        RandomSource source;
        std::int64_t count = 0;
        std::uint32_t next()
        {
            ++count;
            return source.next();
        }
    } counting;
    for (std::int64_t i = 0; i < draws; ++i)
        drawSevenWith(counting, [](LotteryNumber) {});
    return counting.count;
}

// The played draws against the generator alone, for the same count of random
// numbers, timed by turns within one run: the ratio of the two, and the draws
// played per second.
void BM_PlayedDrawsAgainstGenerator(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    constexpr std::int64_t draws = 1'000'000;
    const std::int64_t numbers = randomNumbersFor(draws);
    const PlayGoal span{"", Combination::None, draws};
    const Ticket ticket = {3, 7, 9, 15, 25, 44};
    Clock::duration generator{};
    Clock::duration played{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        RandomSource random;
        std::uint32_t sum = 0;
        for (std::int64_t i = 0; i < numbers; ++i)
            sum += random.next();
        benchmark::DoNotOptimize(sum);
        const Clock::time_point generated = Clock::now();
        Simulation run(ticket, span);
        run.play(draws);
        benchmark::DoNotOptimize(run.seen(Combination::Three));
        const Clock::time_point end = Clock::now();
        generator += generated - start;
        played += end - generated;
    }
    const double playedSeconds = std::chrono::duration<double>(played).count();
    state.counters["ratio"] = playedSeconds / std::chrono::duration<double>(generator).count();
    state.counters["draws_per_s"] =
        static_cast<double>(draws) * static_cast<double>(state.iterations()) / playedSeconds;
    state.counters["numbers_per_draw"] = static_cast<double>(numbers) / draws;
}
BENCHMARK(BM_PlayedDrawsAgainstGenerator)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lotto

int main(int argc, char** argv)
{
    if (!std::freopen("/dev/null", "w", stdout))
        return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::ConsoleReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
