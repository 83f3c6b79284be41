// The history store and the data source over it: statistics from summaries against a
// brute-force computation over the raw samples, every channel and event function against
// values worked out by hand, imports of good and malformed files, versions and snapshots.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <tuple>

#include "data/historian/hist_block.h"
#include "data/historian/hist_data_source.h"
#include "data/historian/hist_generate.h"
#include "data/historian/hist_import.h"
#include "data/historian/hist_stats.h"
#include "data/historian/hist_writer.h"
#include "tests/data/data_support.h"
#include "tests/data/project_support.h"
#include "tests/zone_scope.h"

namespace quillet::test {
namespace {

namespace fs = std::filesystem;

// Runs SQL on a store outside the store classes; false when it fails.
bool raw_exec(const std::string& name, const std::string& sql) {
  if (name.rfind("sqlite:", 0) == 0) {
    sqlite3* db = nullptr;
    const bool ok = sqlite3_open(name.substr(7).c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
  }
  PGconn* db = PQconnectdb(name.c_str());
  PGresult* r = PQexec(db, sql.c_str());
  const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  PQclear(r);
  PQfinish(db);
  return ok;
}

// A fresh, empty store of a back end: a file in the test's scratch folder, or a schema of
// its own in the database QUILLET_TEST_POSTGRES names. Empty when that is not set.
std::string fresh_store(const std::string& backend, const std::string& name) {
  if (backend == "sqlite") {
    const fs::path path = fs::path(testing::TempDir()) / ("quillet_" + name + ".db");
    for (const char* suffix : {"", "-wal", "-shm"})
      fs::remove(path.string() + suffix);
    return "sqlite:" + path.string();
  }
  const char* uri = std::getenv("QUILLET_TEST_POSTGRES");
  if (!uri || !*uri)
    return {};
  const std::string schema = "quillet_" + name;
  EXPECT_TRUE(raw_exec(uri, "SET client_min_messages = warning; DROP SCHEMA IF EXISTS " + schema + " CASCADE; CREATE SCHEMA " + schema));
  return std::string(uri) + (std::strchr(uri, '?') ? "&" : "?") + "options=-csearch_path%3D" + schema;
}

// Every store test runs once per back end; PostgreSQL only where a database is given.
class HistBackend : public testing::TestWithParam<const char*> {
protected:
  std::string fresh(const std::string& name) { return fresh_store(GetParam(), name); }
  void SetUp() override {
    if (fresh(std::string("probe")).empty())
      GTEST_SKIP() << "QUILLET_TEST_POSTGRES is not set, so the PostgreSQL store tests are skipped "
                      "(scripts/with-postgres.sh starts a cluster and sets it; make test does)";
  }
};

std::unique_ptr<hist_store> open_store(const std::string& name, bool writable) {
  std::string error;
  auto store = hist_open_store(name, writable, error);
  EXPECT_TRUE(store) << error;
  return store;
}

// The statistics straight from the definition: every good sample once (by count), or each
// good sample weighted by the part of [from, to) it holds its value for (by time).
txl_stat_record brute_force(const std::vector<hist_sample>& all, std::int64_t from, std::int64_t to, bool by_time) {
  txl_stat_record r;
  bool any = false;
  auto extreme = [&](double v, std::int64_t t) {
    if (!any || v > r.max)
      r.max = v, r.max_time = t * 0.001;
    if (!any || v < r.min)
      r.min = v, r.min_time = t * 0.001;
    any = true;
  };
  for (std::size_t i = 0; i < all.size(); ++i) {
    const hist_sample& s = all[i];
    if (!s.good)
      continue;
    if (!by_time) {
      if (s.t >= from && s.t < to)
        r.count += 1, r.sum += s.value, r.sum2 += s.value * s.value, extreme(s.value, s.t);
      continue;
    }
    const std::int64_t start = std::max(s.t, from), end = std::min(i + 1 < all.size() ? all[i + 1].t : INT64_MAX, to);
    if (end <= start)
      continue;
    const double held = static_cast<double>(end - start);
    r.count += held, r.sum += s.value * held, r.sum2 += s.value * s.value * held;
    extreme(s.value, start);
  }
  if (by_time)
    r.count *= 0.001, r.sum *= 0.001, r.sum2 *= 0.001;
  return r;
}

// Random samples over twelve hours (and sparser ones over twelve days, whose long intervals
// read day summaries): bursts, hours without a sample, bad samples; values in eighths, so every
// sum is exact and the two computations must agree to the bit.
void expect_brute_force(hist_store& store, const hist_key& key, const std::vector<hist_sample>& all, std::int64_t t0,
                        std::int64_t span, std::mt19937_64& rng) {
  for (int i = 0; i < 400; ++i) {
    std::int64_t a = t0 - span / 12 + static_cast<std::int64_t>(rng() % (span * 3 / 2));
    std::int64_t b = i % 4 == 0 ? a + static_cast<std::int64_t>(rng() % 5000) : t0 + static_cast<std::int64_t>(rng() % (span * 3 / 2));
    if (i % 5 == 0)
      a = a / hist_hour_ms * hist_hour_ms;
    for (bool by_time : {false, true}) {
      SCOPED_TRACE(testing::Message() << "from " << a << " to " << b << (by_time ? " by time" : " by count"));
      txl_stat_record got;
      ASSERT_TRUE(hist_statistics(store, key, a, b, by_time, got));
      const txl_stat_record want = a < b ? brute_force(all, a, b, by_time) : txl_stat_record{};
      EXPECT_EQ(got.count, want.count);
      EXPECT_EQ(got.sum, want.sum);
      EXPECT_EQ(got.sum2, want.sum2);
      EXPECT_EQ(got.min, want.min);
      EXPECT_EQ(got.max, want.max);
      EXPECT_EQ(got.min_time, want.min_time);
      EXPECT_EQ(got.max_time, want.max_time);
    }
  }
}

std::vector<hist_sample> random_history(std::int64_t t0, std::int64_t span, std::int64_t gap, std::mt19937_64& rng) {
  std::vector<hist_sample> all;
  for (std::int64_t t = t0; t < t0 + span; t += 1 + static_cast<std::int64_t>(rng() % gap)) {
    if (rng() % 40 == 0)
      t += static_cast<std::int64_t>(1 + rng() % 3) * hist_hour_ms;
    all.push_back({t, static_cast<double>(static_cast<int>(rng() % 2000) - 1000) / 8.0, rng() % 9 != 0});
  }
  return all;
}

TEST_P(HistBackend, StatisticsFromSummariesEqualBruteForce) {
  auto store = open_store(fresh("property"), true);
  ASSERT_TRUE(store);
  std::mt19937_64 rng(2026);
  const std::int64_t t0 = 1700000000000;
  const std::vector<hist_sample> all = random_history(t0, 12 * hist_hour_ms, 90000, rng);
  const std::vector<hist_sample> days = random_history(t0, 12 * 24 * hist_hour_ms, 1800000, rng);
  hist_writer writer(*store, 500);
  for (const hist_sample& s : all)
    ASSERT_TRUE(writer.add({0, 0}, s));
  for (const hist_sample& s : days)
    ASSERT_TRUE(writer.add({0, 1}, s));
  ASSERT_TRUE(writer.flush());
  expect_brute_force(*store, {0, 0}, all, t0, 12 * hist_hour_ms, rng);
  expect_brute_force(*store, {0, 1}, days, t0, 12 * 24 * hist_hour_ms, rng);
  // Pruned raw samples leave the summaries: whole hours still give the same figures.
  std::int64_t dropped = 0;
  const std::int64_t cut = t0 + 6 * hist_hour_ms;
  ASSERT_TRUE(store->begin() && store->prune(cut, dropped) && store->commit());
  const auto kept = std::find_if(all.begin(), all.end(), [&](const hist_sample& s) { return s.t >= cut; });
  const auto before_cut = [&](const hist_sample& s) { return s.t < cut; };
  EXPECT_EQ(dropped, std::count_if(all.begin(), all.end(), before_cut) + std::count_if(days.begin(), days.end(), before_cut));
  std::vector<hist_sample> left;
  bool more = false;
  ASSERT_TRUE(store->samples({0, 0}, INT64_MIN, INT64_MAX, all.size(), left, more));
  ASSERT_EQ(left.size(), static_cast<std::size_t>(all.end() - kept));
  EXPECT_EQ(left.front().t, kept->t);
  const std::int64_t h = t0 / hist_hour_ms * hist_hour_ms;
  for (bool by_time : {false, true}) {
    txl_stat_record got;
    ASSERT_TRUE(hist_statistics(*store, {0, 0}, h + hist_hour_ms, h + 9 * hist_hour_ms, by_time, got));
    EXPECT_EQ(got.sum, brute_force(all, h + hist_hour_ms, h + 9 * hist_hour_ms, by_time).sum);
  }
}

constexpr std::uint32_t T0 = 1700000000;

// TEMP history of the demo project's BOILERS T_SUPPLY (node 0, channel 0) and two events.
struct HistFunctions : HistBackend {
  void SetUp() override {
    HistBackend::SetUp();
    if (IsSkipped())
      return;
    ASSERT_TRUE(project.loaded);
    name = fresh("functions");
    auto store = open_store(name, true);
    ASSERT_TRUE(store);
    hist_writer writer(*store);
    const std::int64_t ms = std::int64_t{T0} * 1000;
    for (const hist_sample& s : std::vector<hist_sample>{
             {ms, 10, true}, {ms + 10000, 20, false}, {ms + 20000, 30, true}, {ms + 7200000, 40, true}})
      writer.add({0, 0}, s);
    writer.add({0, 1}, hist_sample{ms + 5000, 1.5, true});
    writer.add(hist_event{0, ms + 30000, 5, 'A', 800, "Boiler 1 flame failure"});
    writer.add(hist_event{0, ms + 60000, 2, 'M', 210, "Pump 1 started"});
    writer.add(hist_event{0, ms + 9000000, 2, 'M', 210, "Pump 1 stopped"});
    ASSERT_TRUE(writer.flush());
    store.reset();
    source = std::make_unique<hist_data_source>(&project.map, open_store(name, false), T0 + 100);
    context.source = source.get();
    context.time = T0 + 100;
  }
  demo_project project;
  std::string name;
  std::unique_ptr<hist_data_source> source;
  fake_context context;
};

TEST_P(HistFunctions, ChannelAndEventFunctions) {
  context.add_variable("t", "CHAN(\"T_SUPPLY\")");
  run_rows(context, {
      {"GETVAL(@t)", "f:30"},
      {"TIME(GETVAL(@t))", "f:1700000020"},
      {"READVAL(@t, 1700000005)", "f:10"},
      {"READVAL(@t, 1700000015)", "#READVAL:ERROR#"},  // a bad sample: no value
      {"READVAL(@t, 1699999999)", "#READVAL:ERROR#"},  // before the history
      {"READVAL(@t, 1700000000, 1700000030)", "v(f:10,f:30)"},
      {"READVAL(@t, 1700000000.001, 1700000030)", "v(f:30)"},
      {"READVAL(LIST(@t, CHAN(\"T_RETURN\")), 1700000000, 1700000030)", "v(f:10,f:1.5,f:30)"},
      {"READVAL(LIST(@t, CHAN(\"P_DRUM\")), 1700000025)", "v(f:30,-)"},
      {"LASTVAL(@t, 1700000025, 1700000021)", "#LASTVAL:ERROR#"},
      {"LASTVAL(@t, 1700000025, 1700000020)", "f:30"},
      {"GETVAL(CHAN(\"P_DRUM\"))", "#GETVAL:ERROR#"},
      {"RNSTAT(@t, 1700000000, 1700000030)", "f:2"},
      {"SUM(RNSTAT(@t, 1700000000, 1700000030))", "f:40"},
      {"AVG(RTSTAT(@t, 1700000000, 1700000030))", "f:20"},  // 10 for 10 s, nothing for 10 s, 30 for 10 s
      {"RTSTAT(@t, 1700000005, 1700000030)", "f:15"},
      {"MIN(RTSTAT(@t, 1700000005, 1700000030))", "f:10"},
      {"AVG(RTSTAT(@t, 1700000000, 1700010800))", "f:33.31788693"},  // 359500 over 10790 s
      {"RNSTAT(@t, 1700000030, 1700000000)", "f:0"},
      {"SIZE(EVENTS(\"BOILERS\"))", "i:2"},  // the third lies after the report time
      {"EVENTS(\"BOILERS\")", "v(s:Pump 1 started,s:Boiler 1 flame failure)"},
      {"EVENTS(\"BOILERS\", EFILTER(0, -1, 800))", "v(s:Boiler 1 flame failure)"},
      {"EVENTS(\"BOILERS\", EFILTER(1700000040))", "v(s:Pump 1 started)"},
      {"EVENTS(\"BOILERS\", EFILTER(0, -1, 0, -1, \"PUMP?_*\"))", "v(s:Pump 1 started)"},
      {"EVENTS(\"BOILERS\", EFILTER(0, -1, 0, -1, \"\", \"BS-*\"))", "v(s:Boiler 1 flame failure)"},
      {"EVENTS(\"BOILERS\", EFILTER(0, -1, 0, -1, \"\", \"\", \"*FLAME*\"))", "v(s:Boiler 1 flame failure)"},
      {"SIZE(EVENTS(\"PUMPSTATION\"))", "i:0"},
      {"SELCHAN(OBJECT(\"BOILERS\", \"BOILER1\"), 1)", "v(i:0,i:1)"},
      {"SELCHAN(OBJECT(\"BOILERS\", \"BOILER1\"), 2)", "v(i:4,i:5)"},
  });
}

// Writes a file into the scratch folder and returns its path.
std::string write_file(const std::string& name, const std::string& text) {
  const std::string path = (fs::path(testing::TempDir()) / name).string();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

struct import_run {
  hist_import_counts counts;
  std::vector<std::string> problems;
  bool ok = false;
};

import_run import_into(hist_store& store, const kov_channel_map& map, const std::string& path) {
  import_run run;
  hist_channels channels(map);
  hist_writer writer(store, 3);
  hist_time_parser times;
  hist_import_hooks hooks;
  hooks.problem = [&](const std::string& text) { run.problems.push_back(text.substr(text.rfind('/') + 1)); };
  std::string error;
  run.ok = hist_import_csv(path, channels, writer, times, hooks, run.counts, error) && writer.flush();
  return run;
}

std::int64_t count_rows(hist_store& store, const hist_key& key) {
  std::vector<hist_sample> list;
  bool more = false;
  store.samples(key, 0, INT64_MAX, 1000, list, more);
  return static_cast<std::int64_t>(list.size());
}

// A node's events newest first, ties of one time by channel, code, severity and text, cut at
// every limit (also inside a run of one time), against the same order made here.
TEST_P(HistBackend, EventsComeNewestFirstAtEveryLimit) {
  const std::string name = fresh("event_order");
  auto store = open_store(name, true);
  ASSERT_TRUE(store);
  std::mt19937 random(7);
  using row = std::tuple<std::int64_t, int, int, int, std::string>;
  std::set<row> stored;
  ASSERT_TRUE(store->begin());
  for (int i = 0; i < 300; ++i) {
    const auto pick = [&](unsigned n) { return static_cast<int>(random() % n); };
    const hist_event e{0, 1000 * pick(40), pick(3), pick(2), 100 * pick(2), std::string(random() % 3, 'a')};
    ASSERT_TRUE(store->put_event(e) && store->put_event({1, e.t, 0, 0, 0, "other node"}));
    stored.insert({e.t, e.channel, e.code, e.severity, e.text});
  }
  ASSERT_TRUE(store->commit());
  for (const auto& [from, to] : {std::pair<std::int64_t, std::int64_t>{0, 39000}, {5000, 20000}}) {
    std::vector<row> expected;
    for (const row& r : stored)
      if (std::get<0>(r) >= from && std::get<0>(r) <= to)
        expected.push_back(r);
    const auto time_of = [](const row& r) { return std::get<0>(r); };
    std::stable_sort(expected.begin(), expected.end(),
                     [&](const row& a, const row& b) { return time_of(a) > time_of(b); });
    // the end of the second run of one time: a limit there cuts between two times
    std::size_t boundary = 0;
    for (int runs = 0; boundary < expected.size() && runs < 2; ++runs)
      for (const std::int64_t t = time_of(expected[boundary]);
           boundary < expected.size() && time_of(expected[boundary]) == t;)
        ++boundary;
    for (std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{50}, boundary,
                              expected.size() - 1, expected.size(), expected.size() + 3}) {
      std::vector<hist_event> got;
      bool more = false;
      ASSERT_TRUE(store->events(0, from, to, limit, got, more));
      std::vector<row> rows;
      for (const hist_event& e : got)
        rows.push_back({e.t, e.channel, e.code, e.severity, e.text});
      const std::size_t kept = std::min(limit, expected.size());
      EXPECT_EQ(rows, std::vector<row>(expected.begin(), expected.begin() + std::ptrdiff_t(kept))) << limit;
      EXPECT_EQ(more, expected.size() > limit) << limit;
    }
  }
}

TEST_P(HistBackend, ImportFormsBadRowsAndRepeats) {
  demo_project project;
  auto store = open_store(fresh("import"), true);
  ASSERT_TRUE(store);
  const std::string long_form = write_file("long.csv",
      "time,channel,value,quality\n"
      "2023-11-14T22:13:20Z,T_SUPPLY,71.5,good\n"
      "1700000010,TT-102,50,192\n"
      "1700000020.5,BOILERS:P_DRUM,8.5,\n"
      "1700000030,NO_SUCH,1,good\n"
      "yesterday,T_SUPPLY,1\n"
      "1700000040,T_SUPPLY,warm\n"
      "1700000050,T_SUPPLY,,bad\n"
      "1700000060,T_SUPPLY,3,maybe\n");
  for (int pass = 0; pass < 2; ++pass) {
    const import_run run = import_into(*store, project.map, long_form);
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.counts.samples, 4u);
    EXPECT_EQ(run.problems, (std::vector<std::string>{
        "long.csv:5: no channel of the project has this name or code",
        "long.csv:6: the time is not a date and time or a number of seconds",
        "long.csv:7: the value is not a number",
        "long.csv:9: the quality is neither good nor bad"}));
  }
  EXPECT_EQ(count_rows(*store, {0, 0}), 2);  // the repeated import stored nothing twice
  hist_sample s;
  bool found = false;
  ASSERT_TRUE(store->sample_at({0, 4}, INT64_MAX, INT64_MIN, s, found) && found);
  EXPECT_EQ(s.t, 1700000020500);

  const import_run wide = import_into(*store, project.map, write_file("wide.csv",
      "time;LEVEL;FLOW;GHOST\r\n1700000000;4.5;120;1\r\n1700000060;;121;2\r\n1700000120;4.4\r\n"));
  EXPECT_EQ(wide.counts.samples, 4u);
  EXPECT_EQ(wide.problems, std::vector<std::string>{"wide.csv:1: no channel of the project is named 'GHOST'; its column is skipped"});
  EXPECT_EQ(count_rows(*store, {1, 1}), 2);

  const import_run events = import_into(*store, project.map, write_file("events.csv",
      "time,channel,type,severity,text\n"
      "1700000000,BURNER_ON,A,A,\"Flame failure, burner locked out\"\n"
      "1700000005,PUMP1_ON,M,210,Pump 1 started\n"
      "1700000006,PUMP1_ON,M,loud,Pump 1 started\n"));
  EXPECT_EQ(events.counts.events, 2u);
  std::vector<hist_event> list;
  bool more = false;
  ASSERT_TRUE(store->events(0, 0, INT64_MAX, 10, list, more));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].text, "Flame failure, burner locked out");
  EXPECT_EQ(list[1].severity, 800);
  EXPECT_EQ(list[1].code, 'A');
}

// Local times in Rome across both changes of 2026: the hour that does not exist in spring
// and the UTC instants around them.
TEST(HistImport, LocalTimesAcrossDaylightSaving) {
  zone_scope rome("Europe/Rome");
  hist_time_parser times;
  const struct {
    const char* text;
    std::int64_t ms;
  } rows[] = {
      {"2026-03-29T01:30:00", 1774744200000},        // CET, 00:30 UTC
      {"2026-03-29T03:30:00", 1774747800000},        // CEST, 01:30 UTC
      {"2026-03-29 03:30:00.250", 1774747800250},
      {"2026-10-25T00:30:00", 1792881000000},        // CEST, 22:30 UTC the day before
      {"2026-10-25T04:30:00", 1792899000000},        // CET, 03:30 UTC
      {"2026-10-25T04:30:00+01:00", 1792899000000},
      {"2026-10-25T03:30:00Z", 1792899000000},
      {"1792895400", 1792895400000},
      {"1792895400123", 1792895400123},
      {"1792895400.5", 1792895400500},
  };
  for (const auto& row : rows) {
    std::int64_t ms = 0;
    EXPECT_TRUE(times.parse(row.text, ms)) << row.text;
    EXPECT_EQ(ms, row.ms) << row.text;
  }
  for (const char* bad : {"", "2026-13-01T00:00", "2026-03-29T25:00", "12:00", "1e9", "2026-03-29T01:30+1"}) {
    std::int64_t ms = 0;
    EXPECT_FALSE(times.parse(bad, ms)) << bad;
  }
}

TEST_P(HistBackend, OtherSchemaVersionsAreRefusedUntouchedAndEmptyStoresAreNotRead) {
  const std::string name = fresh("version");
  const std::string shown = name.rfind("sqlite:", 0) == 0 ? name.substr(7) : name;
  const struct {
    const char* version;
    std::string message;
  } rows[] = {
      {"7", "the store " + shown + " has schema version 7; this quillet reads version 2: use a newer quillet"},
      {"1", "the store " + shown + " has schema version 1, which this quillet no longer reads: import its history "
            "again into a new store"},
  };
  open_store(name, true).reset();
  for (const auto& row : rows) {
    ASSERT_TRUE(raw_exec(name, std::string("UPDATE quillet_meta SET value='") + row.version + "' WHERE key='schema_version'"));
    for (bool writable : {false, true}) {
      std::string error;
      EXPECT_FALSE(hist_open_store(name, writable, error));
      EXPECT_EQ(error, row.message);
    }
  }
  std::string error;
  EXPECT_FALSE(hist_open_store(fresh("absent"), false, error));
}

// Blocks and packed summaries round-trip any hour's samples; a block of another size or with times out of order or
// outside its hour is refused whole.
TEST(HistBlock, RoundTripsAndRefusesDamage) {
  std::mt19937_64 rng(7);
  const std::int64_t hour = 470000;
  std::vector<hist_sample> list;
  for (std::int64_t t = hour * hist_hour_ms; t < (hour + 1) * hist_hour_ms; t += 1 + rng() % 200000)
    list.push_back({t, std::ldexp(static_cast<double>(rng() % 100000) - 50000, static_cast<int>(rng() % 40) - 20), rng() % 5 != 0});
  list.push_back({(hour + 1) * hist_hour_ms - 1, -0.0, true});
  const std::string block = hist_pack_block(hour, list);
  std::vector<hist_sample> back{{1, 2, true}};
  ASSERT_TRUE(hist_unpack_block(hour, block, back));
  ASSERT_EQ(back.size(), list.size() + 1);
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(back[i + 1].t, list[i].t);
    EXPECT_EQ(std::signbit(back[i + 1].value), std::signbit(list[i].value));
    EXPECT_EQ(back[i + 1].value, list[i].value);
    EXPECT_EQ(back[i + 1].good, list[i].good);
  }
  hist_summary summary = hist_summarise(hour, list), back_summary;
  ASSERT_TRUE(hist_unpack_summary(hist_pack_summary(summary), back_summary));
  EXPECT_EQ(hist_pack_summary(back_summary), hist_pack_summary(summary));
  EXPECT_EQ(back_summary.last.t, list.back().t);
  EXPECT_FALSE(hist_unpack_summary(hist_pack_summary(summary).substr(8), back_summary));
  std::string swapped = block;
  std::swap_ranges(swapped.begin(), swapped.begin() + 12, swapped.begin() + 12);
  for (const std::string& bad : {block.substr(1), swapped, hist_pack_block(hour + 1, list)}) {
    std::vector<hist_sample> none;
    EXPECT_FALSE(hist_unpack_block(hour, bad, none));
    EXPECT_TRUE(none.empty());
  }
}

// A report reads one snapshot: rows an import commits while it runs stay out of it.
TEST_P(HistBackend, ReaderKeepsItsSnapshotWhileAnImportCommits) {
  const std::string name = fresh("snapshot");
  auto writer_store = open_store(name, true);
  ASSERT_TRUE(writer_store);
  hist_writer writer(*writer_store, 2);
  writer.add({0, 0}, hist_sample{1000, 1, true});
  ASSERT_TRUE(writer.flush());
  auto reader = open_store(name, false);
  EXPECT_EQ(count_rows(*reader, {0, 0}), 1);
  for (int i = 2; i <= 5; ++i)
    ASSERT_TRUE(writer.add({0, 0}, hist_sample{i * 1000, 1, true}));
  EXPECT_EQ(count_rows(*reader, {0, 0}), 1);
  EXPECT_EQ(count_rows(*open_store(name, false), {0, 0}), 5);
}

// Two days of demo-plant history keep what a plant engineer would check first: supply above
// return, pumps only on or off, the boiler trip's alarms, and the gap marked by a bad sample.
TEST(HistDemoPlant, HistoryIsBelievable) {
  demo_project project;
  auto store = open_store(fresh_store("sqlite", "demo"), true);
  ASSERT_TRUE(store);
  hist_writer writer(*store);
  const std::int64_t from = std::int64_t{T0} * 1000, to = from + 2 * 86400000;
  ASSERT_TRUE(hist_generate_demo_plant(hist_channels(project.map), from, to, 300, writer) && writer.flush());
  auto all = [&](const hist_key& key) {
    std::vector<hist_sample> list;
    bool more = false;
    store->samples(key, from, to, 100000, list, more);
    return list;
  };
  const auto supply = all({0, 0}), ret = all({0, 1}), pump = all({0, 2}), level = all({1, 0});
  ASSERT_EQ(supply.size(), 576u);
  ASSERT_EQ(ret.size(), supply.size());
  for (std::size_t i = 0; i < supply.size(); ++i)
    EXPECT_GT(supply[i].value, ret[i].value + 5) << i;
  std::set<double> pump_values;
  for (const hist_sample& s : pump)
    pump_values.insert(s.value);
  EXPECT_EQ(pump_values, (std::set<double>{0.0, 1.0}));
  EXPECT_EQ(std::count_if(level.begin(), level.end(), [](const hist_sample& s) { return !s.good; }), 1);
  EXPECT_EQ(level.size(), supply.size() - 23);  // two hours without samples after the bad one
  std::vector<hist_event> events;
  bool more = false;
  ASSERT_TRUE(store->events(0, from, to, 1000, events, more));
  EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const hist_event& e) {
    return e.severity == 800 && e.text == "Boiler 1 flame failure: burner locked out";
  }));
  EXPECT_TRUE(std::any_of(events.begin(), events.end(), [](const hist_event& e) { return e.text == "Pump 1 started"; }));
}

INSTANTIATE_TEST_SUITE_P(Stores, HistBackend, testing::Values("sqlite", "postgresql"));
INSTANTIATE_TEST_SUITE_P(Stores, HistFunctions, testing::Values("sqlite", "postgresql"));

}  // namespace
}  // namespace quillet::test
