// Microbenchmarks of the term reader and of evaluating long expressions.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/term_reader.h"
#include "shiftsum/expression.h"

namespace {

void read_term(benchmark::State& state, const char* text)
{
  for (auto _ : state) {
    ClockTime value;
    bool ok = parse_term(text, value);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK_CAPTURE(read_term, clock, "9:23");
BENCHMARK_CAPTURE(read_term, interval, "(9:23,17:35)");
BENCHMARK_CAPTURE(read_term, bad, "9:2x");

// One-minute terms, the shortest there are, joined by the given operators in turn.
std::string one_minute_terms(std::size_t count, const std::string& operators)
{
  std::string expression = "0:1";
  for (std::size_t i = 1; i < count; ++i) {
    expression += operators[i % operators.size()];
    expression += "0:1";
  }
  return expression;
}

// The expression cut into arguments of 120,000 bytes, as xargs would pass a long timesheet.
void evaluate(benchmark::State& state, const std::string& operators)
{
  const std::string expression =
      one_minute_terms(static_cast<std::size_t>(state.range(0)), operators);
  std::vector<std::string> words;
  for (std::size_t at = 0; at < expression.size(); at += 120000)
    words.push_back(expression.substr(at, 120000));
  std::vector<const char*> argv{"shiftsum"};
  for (const std::string& word : words)
    argv.push_back(word.c_str());

  for (auto _ : state) {
    ClockTime total;
    bool ok = evaluate_arguments(static_cast<int>(argv.size()), argv.data(), total);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * expression.size()));
}
BENCHMARK_CAPTURE(evaluate, plus, std::string("+"))
    ->RangeMultiplier(10)
    ->Range(10, 100000)
    ->Arg(450000);
BENCHMARK_CAPTURE(evaluate, plus_minus, std::string("+-"))->Arg(1000)->Arg(450000);

}  // namespace
