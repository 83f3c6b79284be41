// The statistics built-ins over plain samples, vectors and statistics values.
#include <gtest/gtest.h>

#include "builtins_support.h"
#include "txl/stat_value.h"

namespace quillet::test {
namespace {

// A statistics value as the interval-statistics functions hand it out.
anyval stat(double count, double sum, double sum2, double max, double min, double max_time, double min_time) {
  return anyval(make_rc<txl_stat_value>(txl_stat_record{count, sum, sum2, max, min, max_time, min_time}));
}

TEST(BuiltinsStat, PlainSamples) {
  run_cases({
      {"SUM", {iv(1), iv(2), iv(3)}, "f:6"},
      {"SUM", {}, "f:0"},
      {"SUM2", {iv(1), iv(2), iv(3)}, "f:14"},
      {"AVG", {vec({iv(1), iv(2), iv(3), iv(4)})}, "f:2.5"},
      {"AVG", {}, "f:nan"},
      {"AVG", {iv(1), vec({}), iv(3)}, "f:2"},
      {"DISP", {iv(1), iv(2), iv(3)}, "f:2"},
      {"DISP", {}, "f:0"},
      {"STDEV", {iv(1), iv(2), iv(3)}, "f:1"},
      {"STDEV", {iv(5)}, "f:0"},
      {"STDEV", {}, "f:0"},
      {"STDEVN", {iv(1), iv(2), iv(3)}, "f:0.8164965809"},
      {"STDEVN", {iv(5)}, "f:0"},
      {"STDEVN", {}, "f:0"},
      {"MAX", {iv(3), iv(7), iv(7)}, "f:7"},
      {"MAX", {iv(-3), iv(-7)}, "f:-3"},
      {"MAX_T", {iv(3), iv(7), iv(7)}, "f:0"},
      {"MIN", {}, "f:0"},
      {"MIN", {iv(4), vec({iv(2), iv(9)}), fv(2.5)}, "f:2"},
      {"MIN_T", {iv(4), iv(2)}, "f:0"},
      {"SUM", {none(), iv(2), none()}, "f:2"},
      {"AVG", {none(), iv(2)}, "f:2"},
      {"AVG", {sv("abc"), iv(4)}, "f:2"},
      {"SUM", {sv("1.5"), sv("2x")}, "f:1.5"},
      {"SUM", {vec({none(), vec({iv(1), iv(1), iv(1)})})}, "f:3"},
      {"AVG", {vec({none(), iv(4)})}, "f:2"},
  });
}

TEST(BuiltinsStat, StatisticsValues) {
  // 4 samples summing to 10 (squares 30), max 4 at t=100, min 1 at t=50.
  const anyval s = stat(4, 10, 30, 4, 1, 100, 50);
  // 2 samples, max 4 at t=300 (a tie), min 0 at t=200.
  const anyval t = stat(2, 4, 16, 4, 0, 300, 200);
  run_cases({
      {"SUM", {s}, "f:10"},
      {"SUM", {s, s}, "f:20"},
      {"SUM2", {s, t}, "f:46"},
      {"AVG", {s}, "f:2.5"},
      {"AVG", {s, iv(4)}, "f:2.8"},
      {"DISP", {s}, "f:5"},
      {"STDEV", {s}, "f:1.290994449"},
      {"STDEVN", {s}, "f:1.118033989"},
      {"MAX", {s, t}, "f:4"},
      {"MAX_T", {s}, "f:100"},
      {"MAX_T", {s, t}, "f:100"},
      {"MAX_T", {t, s}, "f:300"},
      {"MAX_T", {s, iv(9)}, "f:0"},
      {"MAX_T", {iv(9), s}, "f:0"},
      {"MAX_T", {iv(1), s}, "f:100"},
      {"MIN_T", {s, t}, "f:200"},
      {"MIN_T", {t, s}, "f:200"},
      {"MIN", {iv(7), s}, "f:1"},
      {"MIN_T", {iv(1), s}, "f:0"},
      {"SUM", {vec({s, t})}, "f:6"},
      {"MAX_T", {stat(0, 0, 0, 0, 0, 0, 0), s}, "f:100"},
  });
}

// A statistics value is a float holding its count wherever a value is read.
TEST(BuiltinsStat, StatisticsValueActsAsItsCount) {
  const anyval s = stat(4, 10, 30, 4, 1, 100, 50);
  run_cases({
      {"ISNUM", {s}, "i:1"},
      {"ISINT", {s}, "i:0"},
      {"INT", {s}, "i:4"},
      {"STR", {s}, "s:4"},
      {"FLOOR", {s}, "f:4"},
  });
  anyval result;
  call_builtin("NUM", {s}, result);
  EXPECT_TRUE(result == s);
}

TEST(BuiltinsStat, ClearEmptiesEveryField) {
  auto value = make_rc<txl_stat_value>(txl_stat_record{4, 10, 30, 4, 1, 100, 50});
  value->clear();
  const txl_stat_record& r = value->stats();
  const double fields[] = {value->value, r.count, r.sum, r.sum2, r.max, r.min, r.max_time, r.min_time};
  for (double f : fields)
    EXPECT_EQ(f, 0.0);
}

}  // namespace
}  // namespace quillet::test
