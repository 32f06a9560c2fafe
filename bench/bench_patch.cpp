// Making and applying patches of a whole image.
#include "patch/BpsPatch.h"
#include "patch/IpsPatch.h"
#include "romgen/CartridgeGenerator.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// The generated image with every 64th byte of its second half changed: many small records.
struct ImagePair {
    std::vector<std::uint8_t> Original = CartridgeGenerator::MakeImage();
    std::vector<std::uint8_t> Edited = [this] {
        std::vector<std::uint8_t> edited = Original;
        for (std::size_t i = edited.size() / 2; i < edited.size(); i += 64)
            edited[i] ^= 0x5A;
        return edited;
    }();
};

const ImagePair& Pair() {
    static const ImagePair pair;
    return pair;
}

void BM_MakeIpsPatch(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(IpsPatch::Create(Pair().Original, Pair().Edited));
}
BENCHMARK(BM_MakeIpsPatch)->Unit(benchmark::kMillisecond);

void BM_ApplyIpsPatch(benchmark::State& state) {
    const auto patch = IpsPatch::Create(Pair().Original, Pair().Edited);
    std::vector<std::uint8_t> patched;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IpsPatch::Apply(Pair().Original, patch, patched));
        benchmark::DoNotOptimize(patched.data());
    }
}
BENCHMARK(BM_ApplyIpsPatch)->Unit(benchmark::kMillisecond);

void BM_MakeBpsPatch(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(BpsPatch::Create(Pair().Original, Pair().Edited));
}
BENCHMARK(BM_MakeBpsPatch)->Unit(benchmark::kMillisecond);

void BM_ApplyBpsPatch(benchmark::State& state) {
    const auto patch = BpsPatch::Create(Pair().Original, Pair().Edited);
    std::vector<std::uint8_t> patched;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BpsPatch::Apply(Pair().Original, patch, patched));
        benchmark::DoNotOptimize(patched.data());
    }
}
BENCHMARK(BM_ApplyBpsPatch)->Unit(benchmark::kMillisecond);

} // namespace
