// Speed of the engine's hot operations and of a whole draw command over the
// in-memory field store. Standard output goes to /dev/null so that the trace
// costs its writes but not a console's drawing; the report goes to standard error.
#include "DrawCommand.h"
#include "Lottery.h"
#include "MemoryFieldStore.h"

#include <benchmark/benchmark.h>

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
