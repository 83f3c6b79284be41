// Recognition and emission of every expression builder on a typical text of its shape: the
// slowest builder's time per recognition and per emission must stay under a millisecond.
// Usage: builder_bench [repetitions]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "editor/builders/builders.h"

namespace {

using clock_type = std::chrono::steady_clock;

const std::pair<const char*, const char*> samples[] = {
    {"channel_value", "FORMAT( \"%.2f\", READVAL( CHAN( \"T1\", 0, \"N1\"), TIME() - 3600 ) )"},
    {"statistics", "AVG( RTSTAT( CHAN( \"T1\", 0, \"N1\"), RTIME( TIME(), \"DAY\", 0 ), TIME() ) )"},
    {"time", "TIMESTR( \"%c\", DTIME( TIME( t0() + 1 ), \"HR\", -1 ) )"},
    {"value_format", "%-+#012.4f"},
    {"array", "LIST(\r\n    1,\r\n    2 + 3,\r\n    \"x\",\r\n    LIST( 4, 5 )\r\n)"},
    {"string_array", "LIST(\r\n    \"alpha\",\r\n    \"beta\",\r\n    \"gamma\"\r\n)"},
    {"channel_selection", "SELCHAN( OBJECT( \"N1\", \"Pumps\" ), 4 )"},
    {"channel", "NAME( CHAN( \"T1\", \"HI\", \"N1\", \"Pumps\") )"},
    {"object", "OBJECT( \"N1\", \"Pumps\" )"},
    {"literal", "\"bold 12pt DejaVu Sans\""},
};

double micros_since(clock_type::time_point start, int reps) {
  return std::chrono::duration<double, std::micro>(clock_type::now() - start).count() / reps;
}

}  // namespace

int main(int argc, char** argv) {
  int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
  double worst = 0.0;
  for (const auto& [name, text] : samples) {
    const quillet::editor::expression_builder* b = quillet::editor::find_builder(name);
    nlohmann::json fields;
    auto start = clock_type::now();
    for (int i = 0; i < reps; ++i)
      fields = b->recognize(text, nlohmann::json::object());
    double recognize_us = micros_since(start, reps);
    std::string out;
    quillet::editor::builder_refusal refusal;
    start = clock_type::now();
    for (int i = 0; i < reps; ++i)
      b->emit(fields, out, refusal);
    double emit_us = micros_since(start, reps);
    std::printf("%-18s recognize_us %8.1f emit_us %8.1f\n", name, recognize_us, emit_us);
    worst = std::max({worst, recognize_us, emit_us});
  }
  std::printf("summary builders worst_us %.1f limit_us 1000\n", worst);
  return worst < 1000.0 ? 0 : 1;
}
