// One segment with its full trace: the current-code method in a turbulent
// low-pressure segment, a high/medium one with Z = 1 and one whose
// compressibility is iterated; and the appendix method through its traced
// call, to set beside the bare routine in engine_bench.
#include <benchmark/benchmark.h>

#include "hydraulics.h"

namespace {

using namespace gaspipe::hydraulics;

SegmentInput Input(PressureClass cls, double d, double L, double Q, double P1) {
    SegmentInput in;
    in.pressureClass = cls;
    in.density = 0.7247, in.viscosity = 14.5, in.temperature = 288;
    in.diameter = d, in.length = L, in.flow = Q, in.inlet = P1;
    return in;
}

void Run(benchmark::State& state, const SegmentInput& in, Method method) {
    MethodOptions options;
    options.method = method;
    for (auto _ : state) {
        SegmentTrace t = Calculate(in, options);
        benchmark::DoNotOptimize(t.outlet);
        benchmark::DoNotOptimize(t.maxVelocity);
    }
}

void BM_CurrentCodeLow(benchmark::State& state) {
    Run(state, Input(PressureClass::Low, 50, 50, 50, 3000), Method::Gb50028_2006);
}
void BM_CurrentCodeHighMedium(benchmark::State& state) {
    Run(state, Input(PressureClass::HighMedium, 100, 1000, 500, 5), Method::Gb50028_2006);
}
void BM_CurrentCodeCompressed(benchmark::State& state) {
    Run(state, Input(PressureClass::HighMedium, 100, 1000, 5000, 20), Method::Gb50028_2006);
}
void BM_AppendixTraced(benchmark::State& state) {
    Run(state, Input(PressureClass::HighMedium, 100, 1000, 500, 5), Method::Appendix);
}

BENCHMARK(BM_CurrentCodeLow);
BENCHMARK(BM_CurrentCodeHighMedium);
BENCHMARK(BM_CurrentCodeCompressed);
BENCHMARK(BM_AppendixTraced);

}  // namespace
