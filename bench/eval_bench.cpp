// Expression evaluation benchmark: compiles the summation loop once and evaluates it REPS
// times, printing nanoseconds per loop iteration for each repetition.
// Usage: eval_bench [REPS] -> two lines, "quillet_eval_cpu ns ns ..." (process CPU time, as
// the Lua peer measures) and "quillet_eval_wall ns ns ..." (wall clock, as muparser's peer).
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "txl/binding.h"
#include "txl/compiler.h"
#include "txl/user_function.h"

namespace {

constexpr int iterations = 1000000;
// Every statement of a statement list ends in ";", the last one included.
const char source[] = "var s = 0; var i; for i = 1 to 1000000 do s = s + i; s;";

double now_ns() {
  return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double cpu_ns() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// One evaluation of the compiled loop from scratch; false when it failed or summed wrongly.
bool run_once(quillet::txl_user_function& f) {
  quillet::invalidate(*f.body);
  quillet::anyval result;
  std::string error;
  if (!quillet::evaluate_user_function(f, quillet::anyval(), result, error)) {
    std::fprintf(stderr, "evaluation failed: %s\n", error.c_str());
    return false;
  }
  double sum = 0.0;
  result.to_double(sum);
  if (sum != 500000500000.0) {
    std::fprintf(stderr, "bad sum %f\n", sum);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int reps = argc > 1 ? std::atoi(argv[1]) : 20;
  auto f = quillet::make_rc<quillet::txl_user_function>("bench", source);
  quillet::txl_compiler compiler;
  if (compiler.compile(f->text, f.get()) != 0) {
    std::fprintf(stderr, "%s\n", quillet::txl_compile_message(compiler.error()).c_str());
    return 1;
  }
  quillet::txl_binder binder;
  binder.add_builtin_libraries();
  binder.bind_all(*f);
  std::string cpu_line = "quillet_eval_cpu";
  std::string wall_line = "quillet_eval_wall";
  for (int r = 0; r < reps; ++r) {
    double c0 = cpu_ns();
    double t0 = now_ns();
    if (!run_once(*f))
      return 1;
    double t1 = now_ns();
    double c1 = cpu_ns();
    char buf[32];
    std::snprintf(buf, sizeof buf, " %.3f", (c1 - c0) / iterations);
    cpu_line += buf;
    std::snprintf(buf, sizeof buf, " %.3f", (t1 - t0) / iterations);
    wall_line += buf;
  }
  std::printf("%s\n%s\n", cpu_line.c_str(), wall_line.c_str());
  f->unbind_calls();
  return 0;
}
