// Throughput of the digests on 64 KiB buffers: CRC-32 (eight bytes per step) and the MD5 engine;
// the one-call MD5 hasher on a 4096-byte prefix for comparison.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>

#include "support/hash/crc32.h"
#include "support/hash/md5.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

std::string RandomBuffer(std::size_t size) {
  std::mt19937 random(42);
  std::string buffer(size, '\0');
  for (char& c : buffer) c = static_cast<char>(random());
  return buffer;
}

void BM_Crc32(benchmark::State& state) {
  const std::string buffer = RandomBuffer(kBufferSize);
  for (auto _ : state) {
    hash::THashCrc32 crc;
    crc.Update(buffer);
    crc.Finish();
    benchmark::DoNotOptimize(crc.Value());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK(BM_Crc32);

void BM_Md5Engine(benchmark::State& state) {
  const std::string buffer = RandomBuffer(kBufferSize);
  for (auto _ : state) {
    hash::TCrMD5 md5;
    md5.Hash(buffer);
    benchmark::DoNotOptimize(md5.Digest());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}
BENCHMARK(BM_Md5Engine);

void BM_Md5TextOneCall(benchmark::State& state) {
  const std::string buffer = RandomBuffer(kBufferSize);
  for (auto _ : state) benchmark::DoNotOptimize(hash::Md5Text(buffer));
  // Only the first 4096 bytes are hashed.
  state.SetBytesProcessed(
      static_cast<std::int64_t>(state.iterations() * hash::THashMd5::kMaxHashedBytes));
}
BENCHMARK(BM_Md5TextOneCall);

}  // namespace

BENCHMARK_MAIN();
