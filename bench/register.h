#pragma once
// One way every benchmark of ours is registered: milliseconds, wall time, at least 0.3 s each.
// The registration is returned for the few that need more, such as fewer repetitions.

#include <benchmark/benchmark.h>

#include <string>

namespace bench {

template <typename Function, typename... Args>
benchmark::internal::Benchmark *add(const std::string &name, Function function, Args... args)
{
    return benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) { function(state, args...); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3);
}

}  // namespace bench
