// One segment calculation: the worked high/medium-pressure case from a start
// of 0 (two passes) and a low-pressure laminar case (more passes).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "calc_pipe_segment.h"

namespace {

void Segment(benchmark::State& state, const char* cls, float d, float L, float Q, float P1) {
    const std::string gas = gaspipe::sel::kNaturalGas, material = gaspipe::sel::kSteel;
    const std::string pressureClass = cls;
    const float rho = 0.7247f, nu = 14.5f, T = 288;
    for (auto _ : state) {
        float outlet = 0, loss = 0, mean = 0, max = 0;
        std::int16_t flag = 0;
        gaspipe::CalcPipeSegment(gas, pressureClass, material, rho, nu, T, d, L, Q, P1, outlet,
                                 loss, mean, max, flag);
        benchmark::DoNotOptimize(outlet);
        benchmark::DoNotOptimize(max);
    }
}

void BM_WorkedExample(benchmark::State& state) {
    Segment(state, gaspipe::sel::kHighMedium, 100, 1000, 500, 5);
}
void BM_LowPressureLaminar(benchmark::State& state) {
    Segment(state, gaspipe::sel::kLow, 100, 100, 1, 3000);
}

BENCHMARK(BM_WorkedExample);
BENCHMARK(BM_LowPressureLaminar);

}  // namespace
