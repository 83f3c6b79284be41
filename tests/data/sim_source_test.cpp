// The simulated data source over the demo project: reference building and its failures,
// the value formula, history and statistics cuts, the first-second rule, channel selection,
// events and the archive records trend controls read.
#include <gtest/gtest.h>

#include "data/kov_sim_data_node.h"
#include "data/kov_sim_data_source.h"
#include "tests/data/data_support.h"
#include "tests/data/project_support.h"

namespace quillet::test {
namespace {

constexpr std::uint32_t T = 1000000000;

anyval s(const char* text) { return anyval::from_string(text); }
anyval i(int n) { return anyval::from_int(n); }
anyval f(double x) { return anyval::from_float(x); }
const anyval none;

const kov_chan_ref* ref_of(const anyval& v) { return dynamic_cast<const kov_chan_ref*>(v.get()); }
const kov_data_value_imp* value_of(const anyval& v) { return dynamic_cast<const kov_data_value_imp*>(v.get()); }

class SimSource : public testing::Test {
protected:
  SimSource() : source(&project.map, T) {}

  anyval chan(const char* name, anyval attr = {}, anyval node = {}, anyval object = {}) {
    anyval ref;
    EXPECT_TRUE(source.make_channel_ref(s(name), attr, node, object, ref)) << name;
    return ref;
  }

  demo_project project;
  kov_sim_data_source source;
};

TEST(SimValue, FollowsTheFormula) {
  struct row {
    int channel;
    int attribute;
    std::uint32_t t;
    double value;
  };
  const row rows[] = {
      {10, 0, 1000000000, 70},  {10, 0, 1500000000, 74}, {0, 0, 1, 3},     {0, 0, 33, 99},
      {0, 0, 34, 2},            {-1, 0, 0, 45},          {10, 7, 123, 7},   {10, 255, 1500000000, 255},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.channel);
    kov_chan_ident ident;
    ident.channel = static_cast<std::int16_t>(r.channel);
    ident.attribute = static_cast<std::uint8_t>(r.attribute);
    EXPECT_EQ(kov_sim_value(ident, r.t), r.value);
  }
}

TEST_F(SimSource, BuildsReferencesOrFails) {
  ASSERT_TRUE(project.loaded);
  struct row {
    const char* what;
    anyval name, attr, node, object;
    bool ok;
    kov_chan_ident ident;
  };
  const row rows[] = {
      {"default node is the first holding it", s("T_SUPPLY"), none, none, none, true, {0, 0, 0, 0, 0}},
      {"default node skips nodes without it", s("LEVEL"), none, none, none, true, {1, 0, 0, 0, 0}},
      {"default node within an object", s("LEVEL"), none, none, s("RESERVOIR"), true, {1, 2, 0, 0, 0}},
      {"given node", s("T_SUPPLY"), none, s("PUMPSTATION"), none, true, {1, 0, 10, 0, 0}},
      {"attribute by name", s("POWER"), s("HIHI"), i(2), s("FEEDER1"), true, {2, 1, 3, 3, 0}},
      {"discrete kind", s("BREAKER_CLOSED"), none, none, none, true, {2, 0, 2, 0, 1}},
      {"number by default node", i(10), none, none, none, true, {1, 0, 10, 0, 0}},
      {"unknown channel", s("NOPE"), none, none, none, false, {}},
      {"unknown node", s("T_SUPPLY"), none, s("NOPE"), none, false, {}},
      {"node outside", s("T_SUPPLY"), none, i(4), none, false, {}},
      {"unknown attribute", s("T_SUPPLY"), s("NOPE"), none, none, false, {}},
      {"channel outside the object", s("T_SUPPLY"), none, i(0), s("PUMPS"), false, {}},
      {"no node has it in that object", s("T_SUPPLY"), none, none, s("FEEDER1"), false, {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    anyval ref = i(99);
    EXPECT_EQ(source.make_channel_ref(r.name, r.attr, r.node, r.object, ref), r.ok);
    if (!r.ok) {
      EXPECT_TRUE(ref.empty());
      continue;
    }
    ASSERT_NE(ref_of(ref), nullptr);
    EXPECT_EQ(ref_of(ref)->ident, r.ident);
    std::int32_t key = 0;
    ref.to_int(key);
    EXPECT_EQ(key, r.ident.node * 65536 + r.ident.channel);
  }
  anyval obj;
  ASSERT_TRUE(source.make_object_ref(s("PUMPSTATION"), s("PUMPS"), obj));
  EXPECT_EQ(ref_of(obj)->ident, (kov_chan_ident{1, 1, -1, 0, 0}));
  std::int32_t key = 0;
  obj.to_int(key);
  EXPECT_EQ(key, 65536 + 65535);
  EXPECT_FALSE(source.make_object_ref(s("PUMPSTATION"), s("FEEDER1"), obj));
  EXPECT_FALSE(source.make_object_ref(i(4), i(0), obj));

  kov_sim_data_source unmapped(nullptr, T);
  EXPECT_EQ(unmapped.node_count(), 0);
  EXPECT_FALSE(unmapped.make_channel_ref(s("T_SUPPLY"), none, none, none, obj));
}

TEST_F(SimSource, ReadsValuesAtATime) {
  const anyval supply = chan("T_SUPPLY"), drum = chan("P_DRUM"), level = chan("LEVEL");
  struct row {
    const char* what;
    anyval refs, time, limit;
    bool ok;
    std::string values;  // "value@second" per result
  };
  const row rows[] = {
      {"one channel", drum, i(T), none, true, "28@1000000000"},
      {"whole seconds", supply, f(100.7), none, true, "0@100"},
      {"limit 0 is none", supply, i(T), i(0), true, "0@1000000000"},
      {"limit as a time", supply, i(T), i(T - 5), true, "0@1000000000"},
      {"a negative limit is no time", supply, i(T), i(-5), false, ""},
      {"a text limit is no time", supply, i(T), s("soon"), false, ""},
      {"one node's vector", anyval::from_vector({supply, drum}), i(T + 1), none, true, "3@1000000001 31@1000000001"},
      {"vector of one stays a vector", anyval::from_vector({drum}), i(T), none, true, "[28@1000000000]"},
      {"two nodes fail together", anyval::from_vector({supply, level}), i(T), none, false, ""},
      {"a non-reference fails", anyval::from_vector({supply, i(5)}), i(T), none, false, ""},
      {"empty vector", anyval::from_vector({}), i(T), none, true, "[]"},
      {"no time", supply, i(0), none, false, ""},
      {"not a reference", i(5), i(T), none, false, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    anyval result = i(1);
    EXPECT_EQ(source.read_value_at(r.refs, r.time, r.limit, result), r.ok);
    if (!r.ok) {
      EXPECT_TRUE(result.empty());
      continue;
    }
    std::string got;
    auto add = [&](const anyval& v) {
      const kov_data_value_imp* d = value_of(v);
      ASSERT_NE(d, nullptr);
      got += (got.empty() || got == "[" ? "" : " ") + std::to_string(static_cast<int>(d->value)) + "@" +
             std::to_string(d->stamp.seconds);
    };
    const anyval_list* list = result.as_vector();
    const bool bracket = list && !ref_of(r.refs) && list->size() < 2;
    if (bracket)
      got = "[";
    if (list)
      for (const anyval& v : *list)
        add(v);
    else
      add(result);
    if (bracket)
      got += "]";
    EXPECT_EQ(got, r.values);
  }
}

TEST_F(SimSource, HistoriesAreCutAndStartAtTheFirstWholeSecond) {
  const anyval supply = chan("T_SUPPLY"), drum = chan("P_DRUM");
  struct row {
    const char* what;
    anyval refs;
    double from, to;
    std::size_t count;
    std::uint32_t first_second;
  };
  const row rows[] = {
      {"an hour gives 256", supply, T, T + 3600.0, 256, T},
      {"milliseconds start the next second", supply, 100.7, 103.7, 3, 101},
      {"whole bounds", supply, 100, 103, 3, 100},
      {"reversed is empty", supply, T + 10.0, T, 0, 0},
      {"time first, then reference", anyval::from_vector({supply, drum}), T, T + 2.0, 4, T},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    anyval result;
    ASSERT_TRUE(source.read_values(r.refs, f(r.from), f(r.to), result));
    ASSERT_NE(result.as_vector(), nullptr);
    const anyval_list& list = *result.as_vector();
    ASSERT_EQ(list.size(), r.count);
    if (r.count) {
      EXPECT_EQ(value_of(list[0])->stamp.seconds, r.first_second);
    }
  }
  anyval pair;
  ASSERT_TRUE(source.read_values(anyval::from_vector({supply, drum}), i(T), i(T + 2), pair));
  const anyval_list& list = *pair.as_vector();
  EXPECT_EQ(value_of(list[1])->ident.channel, 4);
  EXPECT_EQ(value_of(list[1])->stamp.seconds, T);
  EXPECT_EQ(value_of(list[2])->ident.channel, 0);
  EXPECT_EQ(value_of(list[2])->stamp.seconds, T + 1);
  EXPECT_FALSE(source.read_values(supply, i(0), i(T), pair));
}

TEST_F(SimSource, StatisticsCountSecondsUpTo1024) {
  const anyval supply = chan("T_SUPPLY"), hi = chan("T_SUPPLY", s("HI"));
  struct row {
    const char* what;
    anyval ref;
    double from, to;
    txl_stat_record expect;
  };
  // From T: values 0, 3, 6, ... 99 (33 seconds), then 2, 5, ...
  const row rows[] = {
      {"three seconds", supply, T, T + 3.0, {3, 9, 45, 6, 0, T + 2.0, T}},
      {"milliseconds", supply, T + 0.5, T + 3.5, {3, 3 + 6 + 9, 9 + 36 + 81, 9, 3, T + 3.0, T + 1.0}},
      {"attribute reads its code", hi, T, T + 2.0, {2, 2, 2, 1, 1, T, T}},
      {"reversed is empty", supply, T, T - 5.0, {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    txl_stat_record record;
    record.count = 77;
    ASSERT_TRUE(source.statistics(r.ref, f(r.from), f(r.to), 0, record));
    EXPECT_EQ(record.count, r.expect.count);
    EXPECT_EQ(record.sum, r.expect.sum);
    EXPECT_EQ(record.sum2, r.expect.sum2);
    EXPECT_EQ(record.max, r.expect.max);
    EXPECT_EQ(record.min, r.expect.min);
    EXPECT_EQ(record.max_time, r.expect.max_time);
    EXPECT_EQ(record.min_time, r.expect.min_time);
  }
  txl_stat_record by_count, by_time;
  ASSERT_TRUE(source.statistics(supply, i(T), i(T + 7200), 0, by_count));
  ASSERT_TRUE(source.statistics(supply, i(T), i(T + 7200), 1, by_time));
  EXPECT_EQ(by_count.count, 1024);
  EXPECT_EQ(by_time.sum, by_count.sum);
  EXPECT_FALSE(source.statistics(i(3), i(T), i(T + 5), 0, by_count));
}

TEST_F(SimSource, SelectsChannelsAndMakesEvents) {
  struct row {
    anyval node, object, condition;
    bool ok;
    std::string channels;  // "channel/kind" per reference
  };
  const row rows[] = {
      {s("BOILERS"), s("BOILER1"), i(1), true, "0/0 1/0 4/0"},
      {s("BOILERS"), s("BOILER1"), i(0), true, "0/0 1/0 4/0 5/1"},
      {s("BOILERS"), i(0), i(2), true, "0/0 1/0 2/1 3/1 4/0 5/1"},
      {s("PUMPSTATION"), s("PUMPS"), i(8), true, "3/1 4/1"},
      {s("BOILERS"), s("BOILER1"), i(9), false, ""},
      {s("BOILERS"), s("BOILER1"), i(-1), false, ""},
      {s("NOPE"), i(0), i(0), false, ""},
      {s("BOILERS"), s("FEEDER1"), i(0), false, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.channels);
    anyval result;
    EXPECT_EQ(source.select_channels(r.node, r.object, r.condition, result), r.ok);
    if (!r.ok)
      continue;
    std::string got;
    for (const anyval& v : *result.as_vector())
      got += (got.empty() ? "" : " ") + std::to_string(ref_of(v)->ident.channel) + "/" +
             std::to_string(ref_of(v)->ident.kind);
    EXPECT_EQ(got, r.channels);
  }

  anyval events;
  ASSERT_TRUE(source.events(i(0), s("ignored filter"), events));
  const anyval_list& list = *events.as_vector();
  ASSERT_EQ(list.size(), 10u);
  const auto* first = dynamic_cast<const kov_event_ref*>(list[0].get());
  const auto* last = dynamic_cast<const kov_event_ref*>(list[9].get());
  ASSERT_TRUE(first && last);
  EXPECT_EQ(first->text, "Alarm message 1");
  EXPECT_EQ(first->code, 65);
  EXPECT_EQ(first->severity, 1);
  EXPECT_EQ(first->time, T - 60.0);
  EXPECT_EQ(first->ident, (kov_chan_ident{0, 0, 0, 0, 0}));
  EXPECT_EQ(last->text, "Alarm message 10");
  EXPECT_EQ(last->code, 74);
  EXPECT_EQ(last->time, T - 600.0);
  EXPECT_EQ(last->ident, (kov_chan_ident{0, 0, 3, 0, 1}));  // position 9 of six channels
  EXPECT_FALSE(source.events(i(4), none, events));
}

TEST_F(SimSource, ArchiveRecords) {
  INvRegArchive* archive = source.node_archive(0);
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(source.node_archive(4), nullptr);
  void* out = nullptr;
  EXPECT_EQ(archive->QueryInterface(com::IID_IvxChBrowser, &out), com::E_NOINTERFACE);
  EXPECT_EQ(archive->QueryInterface(com::IID_INvRegArchive, &out), com::S_OK);
  EXPECT_EQ(out, archive);
  EXPECT_EQ(archive->AddRef(), 2u);

  arc_record first, last;
  std::int32_t status = 5;
  EXPECT_EQ(archive->time_range(&first, &last, &status), com::S_OK);
  EXPECT_EQ(first.time, 0u);
  EXPECT_EQ(last.time, T + 1);

  std::int16_t numbers[8];
  std::int32_t written = 0, tail = 9;
  archive->channel_list(1, 5, &written, numbers, &tail);
  EXPECT_EQ(written, 5);
  EXPECT_EQ(numbers[4], 9);
  EXPECT_EQ(tail, 0);
  archive->channel_list(-5, 8, &written, numbers, &tail);
  EXPECT_EQ(written, 2);  // -5, -3, then -1 stops

  const std::int16_t chans[] = {0, 4};
  const arc_channel_set subset{2, chans};
  struct row {
    const char* what;
    std::uint32_t start_time;
    std::uint16_t start_ms;
    std::uint32_t upper;
    std::int32_t max;
    std::uint8_t selector;  // 0: none
    std::string records;    // "second-offset/channel=value"
  };
  const row rows[] = {
      {"stops at the simulation time", T - 2, 0, T + 100, 100, 0, "-2/0=94 -2/4=22 -1/0=97 -1/4=25"},
      {"stops at the upper bound", T - 2, 0, T - 1, 100, 0, "-2/0=94 -2/4=22"},
      {"stops at the maximum", T - 2, 0, T + 100, 3, 0, "-2/0=94 -2/4=22 -1/0=97"},
      {"milliseconds start the next second", T - 2, 500, T + 100, 100, 0, "-1/0=97 -1/4=25"},
      {"selector byte is the value", T - 1, 0, T + 100, 100, 7, "-1/0=7 -1/4=7"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    arc_record start, next, records[100];
    start.time = r.start_time;
    start.millis = r.start_ms;
    next.time = r.upper;
    const std::uint8_t byte = r.selector;
    const arc_selector selector{r.selector ? 1 : 0, &byte};
    std::int32_t count = -1;
    EXPECT_EQ(archive->read_records(&start, &next, 0, &subset, &selector, r.max, &count, records, &status),
              com::S_OK);
    std::string got;
    for (std::int32_t k = 0; k < count; ++k) {
      got += (got.empty() ? "" : " ") + std::to_string(static_cast<std::int64_t>(records[k].time) - T) + "/" +
             std::to_string(records[k].channel) + "=" + std::to_string(static_cast<int>(records[k].value()));
      EXPECT_EQ(records[k].data[5], r.selector);
    }
    EXPECT_EQ(got, r.records);
    EXPECT_EQ(next.time, r.upper);
  }
  const arc_channel_set empty{0, chans};
  std::int32_t count = -1;
  arc_record start, next, records[4];
  EXPECT_EQ(archive->read_records(&start, &next, 0, &empty, nullptr, 4, &count, records, &status), com::S_OK);
  EXPECT_EQ(count, 0);

  archive->read_values(0, 0, 0, 0, 2, chans, nullptr, 0, records, &status);
  EXPECT_EQ(records[1].time, T);
  EXPECT_EQ(records[1].channel, 4);
  EXPECT_EQ(records[1].value(), 28.0f);
}

TEST_F(SimSource, ChannelFunctionsAnswerFromTheProject) {
  fake_context context;
  context.source = &source;
  run_rows(context, {
                        {"NAME(CHAN(\"LEVEL\"))", "s:LEVEL"},
                        {"NODE(CHAN(\"LEVEL\"))", "s:PUMPSTATION"},
                        {"CHCODE(CHAN(\"PUMP1_ON\"))", "s:Pump 1 running"},
                        {"CHUNIT(CHAN(\"P_DRUM\"))", "s:bar"},
                        {"ATTR(CHAN(\"T_SUPPLY\", \"HI\"))", "s:HI"},
                        {"CHAN(\"NOPE\")", "#CHAN:BAD CHANNEL#"},
                        {"SIZE(SELCHAN(\"BOILERS\", \"BOILER1\", 1))", "i:3"},
                        {"SIZE(READVAL(CHAN(\"T_SUPPLY\"), 1000000000, 1000003600))", "i:256"},
                    });
}

}  // namespace
}  // namespace quillet::test
