// Cost of the helpers every report calls per row: Round4 (every total),
// Amount15 (every amount column), ParseNumber and the date texts.
//   bench_common_amounts [calls]     (default 2,000,000 per routine)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/dates.hpp"
#include "common/numbers.hpp"

namespace {

template <typename F>
void Measure(const char* name, long calls, F&& f) {
  const auto start = std::chrono::steady_clock::now();
  std::size_t sink = 0;
  for (long k = 0; k < calls; ++k) sink += f(k);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%-14s %8.1f ns/call  (%zu)\n", name, took.count() * 1e9 / static_cast<double>(calls),
              sink % 10);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zel;
  const long calls = argc > 1 ? std::atol(argv[1]) : 2000000;
  // Amounts of a year's postings: grosze up to a few million.
  auto amount = [](long k) { return static_cast<Amount>((k * 7919) % 500000000) / 100 + 0.00003L; };
  Measure("Round4", calls, [&](long k) { return static_cast<std::size_t>(Round4(amount(k)) > 1); });
  Measure("Round2", calls, [&](long k) { return static_cast<std::size_t>(Round2(amount(k)) > 1); });
  Measure("Amount15", calls, [&](long k) { return Amount15(amount(k)).size(); });
  Measure("Amount13x4", calls, [&](long k) { return Amount13x4(amount(k)).size(); });
  Measure("ParseNumber", calls, [&](long k) {
    static const std::string texts[] = {"12,5", "1234567.89", "-0,01", "abc"};
    return static_cast<std::size_t>(ParseNumber(texts[k % 4]) > 0);
  });
  Measure("DayToText10", calls,
          [&](long k) { return DayToText10(static_cast<DayNo>(1 + k % 43829)).size(); });
  Measure("DayFromDdMmYy", calls, [&](long k) {
    static const std::string texts[] = {"150324", "010100", "311239", "290200"};
    return static_cast<std::size_t>(DayFromDdMmYy(texts[k % 4]));
  });
  return 0;
}
