// Percent-decoding: UnescapeRFC1738 beside curl_easy_unescape, the textbook
// erase-in-a-loop decoder, and memcpy and memchr of the same input.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "ZarnServerJobUtils.h"
#include "benches.h"
#include "inputs.h"
#include "textbook_unescape.h"

namespace zarnbench {
namespace {

using AppUtils::Document::UnescapeRFC1738;

std::string CurlUnescape(const std::string& text) {
  int length = 0;
  char* decoded = curl_easy_unescape(nullptr, text.data(), static_cast<int>(text.size()), &length);
  if (!decoded) throw std::runtime_error("curl_easy_unescape failed");
  std::string result(decoded, static_cast<std::size_t>(length));
  curl_free(decoded);
  return result;
}

void Require(bool same, const std::string& what) {
  if (!same) throw std::runtime_error("different output: " + what);
}

// Inputs live as long as the program; the benchmarks hold pointers to them.
const std::string& Keep(std::string text) { return *new std::string(std::move(text)); }

void Register(const std::string& name, const std::string& input, void (*body)(benchmark::State&, const std::string&)) {
  benchmark::RegisterBenchmark(name.c_str(), body, std::cref(input))
      ->Unit(benchmark::kMillisecond)
      ->Repetitions(kRepetitions)
      ->ReportAggregatesOnly(true);
}

// The argument is copied inside the timed region: ours starts from a copy of
// the input, as curl starts from a fresh allocation.
void Ours(benchmark::State& state, const std::string& input) {
  for (auto _ : state) {
    std::string decoded = UnescapeRFC1738(input);
    benchmark::DoNotOptimize(decoded.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

void Curl(benchmark::State& state, const std::string& input) {
  for (auto _ : state) {
    int length = 0;
    char* decoded = curl_easy_unescape(nullptr, input.data(), static_cast<int>(input.size()), &length);
    benchmark::DoNotOptimize(decoded);
    curl_free(decoded);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

void Textbook(benchmark::State& state, const std::string& input) {
  for (auto _ : state) {
    std::string decoded = TextbookUnescape(input);
    benchmark::DoNotOptimize(decoded.data());
  }
}

// Copying the input into memory that is already mapped: the floor for any
// decoder that writes its own result.
void Memcpy(benchmark::State& state, const std::string& input) {
  const auto target = std::make_unique<char[]>(input.size());
  for (auto _ : state) {
    std::memcpy(target.get(), input.data(), input.size());
    benchmark::DoNotOptimize(target.get());
    benchmark::ClobberMemory();
  }
}

// The copy that every call of ours starts from, into a fresh allocation as
// the string's copy constructor makes it: the floor for ours.
void Copy(benchmark::State& state, const std::string& input) {
  for (auto _ : state) {
    std::string copy = input;
    benchmark::DoNotOptimize(copy.data());
  }
}

// Scanning the whole input for a byte it does not hold.
void Memchr(benchmark::State& state, const std::string& input) {
  for (auto _ : state) {
    const void* found = std::memchr(input.data(), '\0', input.size());
    benchmark::DoNotOptimize(found);
  }
}

}  // namespace

void RegisterUnescapeBenchmarks() {
  for (const Escapes kind : {Escapes::kNone, Escapes::kSparse, Escapes::kDense}) {
    const std::string& input = Keep(UnescapeInput(kind, 64 * kMiB));
    Require(input.find('\0') == std::string::npos, "the memchr scan needs an input without zero bytes");
    Require(UnescapeRFC1738(input) == CurlUnescape(input), std::string("ours and curl on ") + NameOf(kind));
    const std::string prefix = std::string("unescape/") + NameOf(kind) + "/";
    Register(prefix + "ours", input, Ours);
    Register(prefix + "curl", input, Curl);
    Register(prefix + "copy", input, Copy);
    Register(prefix + "memcpy", input, Memcpy);
    Register(prefix + "memchr", input, Memchr);
  }

  // Linear: eight times the input takes about eight times as long.
  for (const std::size_t mib : {1, 8}) {
    const std::string& input = Keep(UnescapeInput(Escapes::kDense, mib * kMiB));
    Require(UnescapeRFC1738(input) == CurlUnescape(input), "ours and curl on the linearity input");
    Register("unescape/third-escapes/" + std::to_string(mib) + "MiB/ours", input, Ours);
  }

  // The textbook decoder is quadratic: only small inputs.
  for (const std::size_t kib : {64, 1024}) {
    const std::string& input = Keep(UnescapeInput(Escapes::kSparse, kib * 1024));
    Require(UnescapeRFC1738(input) == TextbookUnescape(input), "ours and the textbook decoder");
    const std::string prefix = "unescape/1%-escapes/" + std::to_string(kib) + "KiB/";
    Register(prefix + "ours", input, Ours);
    Register(prefix + "textbook", input, Textbook);
  }
}

}  // namespace zarnbench
