#pragma once
// One way every benchmark of ours is registered: milliseconds, wall time, at least 0.3 s each.
// The registration is returned for the few that need more, such as fewer repetitions. A benchmark
// that pauses for set-up in each iteration is registered with addPaused and a fixed count: the
// library would otherwise repeat it until 0.3 s were measured, however long the unmeasured set-up
// takes (a whole backup of a large file each time, for a change of a few milliseconds).

#include <benchmark/benchmark.h>

#include <string>

namespace bench {

template <typename Function, typename... Args>
benchmark::internal::Benchmark *registered(const std::string &name, Function function, Args... args)
{
    return benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) { function(state, args...); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

template <typename Function, typename... Args>
benchmark::internal::Benchmark *add(const std::string &name, Function function, Args... args)
{
    return registered(name, function, args...)->MinTime(0.3);
}

// The library takes a fixed count or a least time, not both.
template <typename Function, typename... Args>
benchmark::internal::Benchmark *addPaused(const std::string &name, int iterations, Function function, Args... args)
{
    return registered(name, function, args...)->Iterations(iterations);
}

}  // namespace bench
