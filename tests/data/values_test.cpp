// Process-data values: reference keys, time records, historical values, events and filters,
// and how the language sees them through the built-ins.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "data/kov_values.h"
#include "data_support.h"

namespace quillet::test {
namespace {

TEST(TimeRecord, ConvertsWithoutRoundingFirst) {
  struct row {
    anyval value;
    bool ok;
    std::uint32_t seconds;
    int millis;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<row> rows = {
      {anyval::from_float(1.5), true, 1, 500},
      {anyval::from_float(10.9994), true, 10, 999},
      {anyval::from_float(10.9996), true, 10, 1000},  // no carry into the seconds
      {anyval::from_float(10.9999), true, 10, 1000},
      {anyval::from_int(1700000000), true, 1700000000, 0},
      {anyval::from_string("12.25"), true, 12, 250},
      {anyval::from_float(4294967295.0), true, 4294967295u, 0},
      {anyval::from_float(4294967296.0), false, 0, 0},  // beyond 32-bit seconds
      {anyval::from_float(0.75), false, 0, 0},          // seconds 0 is no time
      {anyval::from_int(0), false, 0, 0},
      {anyval::from_float(-1.0), false, 0, 0},
      {anyval::from_float(nan), false, 0, 0},
      {anyval::from_string("12x"), false, 0, 0},
      {anyval(), false, 0, 0},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    kov_time_record r{77, 77};
    EXPECT_EQ(kov_to_time_record(rows[i].value, r), rows[i].ok);
    EXPECT_EQ(r.seconds, rows[i].seconds);
    EXPECT_EQ(r.millis, rows[i].millis);
  }
}

TEST(ChanRef, KeyHoldsNodeAndUnsignedChannel) {
  struct row {
    kov_chan_ident ident;
    std::int32_t key;
  };
  const std::vector<row> rows = {
      {{0, 1, 5, 0, 0}, 5},
      {{1, 2, 7, 3, 2}, 0x10007},
      {{2, 9, -1, 0, 0}, 0x2FFFF},             // object reference: low half 65535
      {{-1, 0, -1, 0, 0}, -1},                 // unset identity
      {{0x7FFF, 0, 0x7FFF, 0, 0}, 0x7FFF7FFF},
      {{-2, 0, 1, 0, 0}, static_cast<std::int32_t>(0xFFFE0001u)},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.key);
    anyval ref = kov_make_chan_ref(r.ident);
    std::int32_t i = 0;
    EXPECT_TRUE(ref.to_int(i));
    EXPECT_EQ(i, r.key);
    EXPECT_EQ(ref.type(), type_int);
    std::string text;
    ref.to_text(text);
    EXPECT_EQ(text, std::to_string(r.key));
  }
}

TEST(ProcessValues, ClearRestoresTheUnsetState) {
  kov_chan_ref ref({3, 4, 5, 6, 7});
  ref.clear();
  EXPECT_EQ(ref.ident, kov_chan_ident{});
  EXPECT_EQ(ref.ident.node, -1);
  EXPECT_EQ(ref.ident.channel, -1);

  kov_data_value_imp value(2.5, {100, 5}, {0, 1, 2, 3, 4});
  value.clear();
  double t = 9.0;
  EXPECT_FALSE(value.time(t));
  EXPECT_EQ(t, 0.0);
  EXPECT_EQ(value.value, 0.0);
  EXPECT_EQ(value.ident, kov_chan_ident{});

  kov_event_ref event("msg", {0, 1, 2, 0, 0}, 3, 220, 5.5);
  event.clear();
  EXPECT_EQ(event.text, "");
  EXPECT_EQ(event.code, 0);
  EXPECT_EQ(event.severity, 0);
  EXPECT_EQ(event.time, 0.0);

  kov_filter_ref filter;
  filter.text = "x*";
  filter.time_from = 5;
  filter.time_to = 6;
  filter.severity_min = 7;
  filter.severity_max = 8;
  filter.channel_mask = "T?";
  filter.code_mask = "C*";
  filter.clear();
  EXPECT_EQ(filter.text, "");
  EXPECT_EQ(filter.time_from, 0.0);
  EXPECT_EQ(filter.time_to, -1.0);
  EXPECT_EQ(filter.severity_min, 0);
  EXPECT_EQ(filter.severity_max, -1);
  EXPECT_EQ(filter.channel_mask, "");
  EXPECT_EQ(filter.code_mask, "");
}

TEST(ProcessValues, HistoricalValueTimeAndChannel) {
  struct row {
    kov_time_record stamp;
    bool has_time;
    double time;
  };
  const std::vector<row> rows = {
      {{0, 0}, false, 0.0},
      {{0, 500}, false, 0.0},  // milliseconds alone are no time stamp
      {{1000, 250}, true, 1000.25},
      {{1000, 1000}, true, 1001.0},
      {{4294967295u, 999}, true, 4294967295.999},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.time);
    kov_data_value_imp value(1.0, r.stamp, {1, 2, 3, 4, 5});
    double t = -1.0;
    EXPECT_EQ(value.time(t), r.has_time);
    EXPECT_NEAR(t, r.time, 1e-6);
    anyval ref;
    value.channel(ref);
    const auto* chan = dynamic_cast<const kov_chan_ref*>(ref.get());
    ASSERT_NE(chan, nullptr);
    EXPECT_EQ(chan->ident, (kov_chan_ident{1, 2, 3, 4, 5}));
  }
}

// The language sees references as integers, historical and statistics values as floats,
// events as strings.
TEST(ProcessValues, KindsSeenByTheBuiltins) {
  fake_source source;
  fake_context context;
  context.source = &source;
  run_rows(context, {
                        {"ISINT(CHAN(\"TEMP\"))", "i:1"},
                        {"ISINT(OBJECT(1, 2))", "i:1"},
                        {"OBJECT(1, 2)", "i:131071"},
                        {"OBJECT(1, 2) & 65535", "i:65535"},
                        {"ISNUM(GETVAL(CHAN(\"TEMP\")))", "i:1"},
                        {"GETVAL(CHAN(\"TEMP\"))", "f:50.5"},
                        {"var e = EVENTS(0); ISSTR(e[0]);", "i:1"},
                        {"var e = EVENTS(0); e[0] + \"!\";", "s:Overheat!"},
                        {"CHAN(\"FLOW\") + 1", "f:65544"},
                        {"STR(RNSTAT(CHAN(\"TEMP\"), 100, 200))", "s:3"},
                        {"SUM(RNSTAT(CHAN(\"TEMP\"), 100, 200))", "f:6"},
                        {"SUM(RNSTAT(CHAN(\"TEMP\"), 100, 200), RNSTAT(CHAN(\"TEMP\"), 100, 200))", "f:12"},
                        {"MAX_T(RNSTAT(CHAN(\"TEMP\"), 100, 200))", "f:102"},
                        {"MIN_T(RNSTAT(CHAN(\"TEMP\"), 100, 200))", "f:100"},
                        {"ISSTR(EFILTER())", "i:1"},
                    });
}

}  // namespace
}  // namespace quillet::test
