// GetComment over a large synthetic photo against a plain memchr pass over the
// same bytes: the walk should run at no less than half the pass's speed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "cpi.h"

namespace {

using Bytes = std::vector<unsigned char>;

void PutSegment(Bytes& out, unsigned char marker, const Bytes& contents) {
    size_t length = contents.size() + 2;
    out.insert(out.end(), {0xFF, marker, static_cast<unsigned char>(length >> 8),
                           static_cast<unsigned char>(length & 0xFF)});
    out.insert(out.end(), contents.begin(), contents.end());
}

// About 50 MB: JFIF headers, then entropy-coded data of uniformly random bytes
// (as compressed data looks), each 0xFF stuffed with 0x00, a restart marker
// every 64 KiB, and EOI.
const Bytes& SyntheticPhoto() {
    static const Bytes image = [] {
        constexpr size_t kDataBytes = 50u << 20;
        Bytes out{0xFF, 0xD8};
        PutSegment(out, 0xE0, {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1, 0, 1, 0, 0});
        Bytes table(65, 1);
        table[0] = 0;
        PutSegment(out, 0xDB, table);
        PutSegment(out, 0xC0, {8, 0x0F, 0xA0, 0x17, 0x70, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}); // 6000 x 4000
        PutSegment(out, 0xDA, {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0});
        out.reserve(out.size() + kDataBytes + kDataBytes / 200);
        std::mt19937_64 rng(42);
        unsigned restart = 0;
        for (size_t i = 0; i < kDataBytes / 8; ++i) {
            uint64_t word = rng();
            for (int b = 0; b < 8; ++b) {
                auto byte = static_cast<unsigned char>(word >> (8 * b));
                out.push_back(byte);
                if (byte == 0xFF)
                    out.push_back(0x00);
            }
            if (i % 8192 == 8191)
                out.insert(out.end(), {0xFF, static_cast<unsigned char>(0xD0 + (restart++ & 7))});
        }
        out.insert(out.end(), {0xFF, 0xD9});
        return out;
    }();
    return image;
}

void BM_GetComment(benchmark::State& state) {
    const Bytes& image = SyntheticPhoto();
    for (auto _ : state) {
        HLOCAL comment = nullptr;
        HLOCAL info = nullptr;
        int32_t result = GetComment(nullptr, image.data(), static_cast<int32_t>(image.size()), &comment, &info);
        if (result != CPI_OK) {
            state.SkipWithError("GetComment failed");
            break;
        }
        LocalFree(comment);
        LocalFree(info);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(image.size()));
}

// The floor: find every 0xFF in the buffer with memchr and do nothing else.
void BM_MemchrPass(benchmark::State& state) {
    const Bytes& image = SyntheticPhoto();
    for (auto _ : state) {
        const unsigned char* p = image.data();
        const unsigned char* end = p + image.size();
        size_t found = 0;
        while (p < end) {
            const void* hit = std::memchr(p, 0xFF, static_cast<size_t>(end - p));
            if (hit == nullptr)
                break;
            ++found;
            p = static_cast<const unsigned char*>(hit) + 1;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(image.size()));
}

// Wall time: the machine is shared, and the walk does no waiting of its own.
BENCHMARK(BM_GetComment)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MemchrPass)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
