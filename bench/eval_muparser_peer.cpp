// muparser peer of the expression benchmark: the host program runs the loop and asks the
// library for "s + i" at every iteration, the way an application drives an expression
// library. Usage: eval_muparser_peer [REPS] -> "muparser_cpu ns ..." and "muparser_wall ns ..."
#include <muParser.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int iterations = 1000000;

double now_ns() {
  return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double cpu_ns() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

}  // namespace

int main(int argc, char** argv) {
  int reps = argc > 1 ? std::atoi(argv[1]) : 20;
  double s = 0.0;
  double i = 0.0;
  mu::Parser parser;
  parser.DefineVar("s", &s);
  parser.DefineVar("i", &i);
  parser.SetExpr("s + i");
  std::string cpu_line = "muparser_cpu";
  std::string wall_line = "muparser_wall";
  for (int r = 0; r < reps; ++r) {
    double c0 = cpu_ns();
    double t0 = now_ns();
    s = 0.0;
    for (int k = 1; k <= iterations; ++k) {
      i = k;
      s = parser.Eval();
    }
    double t1 = now_ns();
    double c1 = cpu_ns();
    if (s != 500000500000.0) {
      std::fprintf(stderr, "bad sum %f\n", s);
      return 1;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, " %.3f", (c1 - c0) / iterations);
    cpu_line += buf;
    std::snprintf(buf, sizeof buf, " %.3f", (t1 - t0) / iterations);
    wall_line += buf;
  }
  std::printf("%s\n%s\n", cpu_line.c_str(), wall_line.c_str());
  return 0;
}
