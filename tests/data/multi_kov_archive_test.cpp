// The archive bridge of trend controls over fake node archives, browsers and monitors that
// record their calls: channel numbering, record order and the position step, the merge in
// blocks with continuing and restarting reads, time range, enumeration, current values,
// browser and monitor forwarding; and one read from the simulated nodes through the bridge.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "data/arc_record_order.h"
#include "data/kov_sim_data_source.h"
#include "data/multi_kov_archive.h"
#include "tests/data/project_support.h"

namespace quillet::test {
namespace {

using com::E_FAIL;
using com::E_INVALIDARG;
using com::E_POINTER;
using com::HRESULT;
using com::S_OK;

arc_record rec(std::uint32_t time, std::uint16_t millis, std::int16_t channel, std::uint8_t sequence = 0) {
  arc_record r;
  r.time = time;
  r.millis = millis;
  r.channel = channel;
  r.data[5] = sequence;
  return r;
}

std::string text_of(const arc_record& r) {
  return std::to_string(r.time) + "." + std::to_string(arc_millis(r)) + "/" + std::to_string(r.channel) + "#" +
         std::to_string(arc_sequence(r));
}

// A node archive over sorted records: a read gives the records at or after the start whose
// channel is asked for. It counts its references and remembers how it was read.
class fake_archive : public INvRegArchive {
public:
  HRESULT QueryInterface(const com::IID&, void** out) override { *out = this; ++refs; return S_OK; }
  com::ULONG AddRef() override { return ++refs; }
  com::ULONG Release() override { return --refs; }
  HRESULT time_range(arc_record* first, arc_record* last, std::int32_t* status) override {
    *first = range_first;
    *last = range_last;
    *status = range_status;
    return range_result;
  }
  HRESULT channel_list(std::int32_t, std::int32_t, std::int32_t*, std::int16_t*, std::int32_t*) override {
    return com::E_NOTIMPL;
  }
  HRESULT read_records(const arc_record* start, arc_record* next, std::int32_t, const arc_channel_set* subset,
                       const arc_selector*, std::int32_t max, std::int32_t* count, arc_record* out,
                       std::int32_t* status) override {
    starts.push_back(*start);
    bound = *next;
    asked.assign(subset->channels, subset->channels + subset->count);
    std::int32_t n = 0;
    for (const arc_record& r : records)
      if (n < max && !arc_record_less(r, *start) && std::count(asked.begin(), asked.end(), r.channel))
        out[n++] = r;
    *count = n + oversize;
    *status = read_status;
    return read_result;
  }
  HRESULT read_values(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t count,
                      const std::int16_t* channels, const arc_selector*, std::int32_t, arc_record* out,
                      std::int32_t* status) override {
    for (std::int32_t i = 0; i < count; ++i)
      out[i] = rec(tag, 0, channels[i]);
    *status = read_status;
    return read_result;
  }
  HRESULT query_pair(std::int32_t*, std::int32_t*) override { return com::E_NOTIMPL; }
  HRESULT query_word(std::int32_t*) override { return com::E_NOTIMPL; }

  std::uint32_t tag = 0;  // the time of current values
  std::vector<arc_record> records;
  arc_record range_first, range_last;
  std::int32_t range_status = 0, read_status = 0, oversize = 0;
  HRESULT range_result = S_OK, read_result = S_OK;
  std::vector<arc_record> starts;
  std::vector<std::int16_t> asked;
  arc_record bound;
  com::ULONG refs = 1;
};

// A node's browser and monitor in one object, writing each call into `log`.
class fake_node_ui : public IvxChBrowser, public IvxKOV {
public:
  HRESULT QueryInterface(const com::IID&, void**) override { return com::E_NOINTERFACE; }
  com::ULONG AddRef() override { return ++refs; }
  com::ULONG Release() override { return --refs; }
  HRESULT group_count(std::int32_t*) override { return E_FAIL; }
  HRESULT get_groups(std::int32_t, vx_group_record*) override { return E_FAIL; }
  HRESULT channel_count(std::int16_t, std::int32_t*) override { return E_FAIL; }
  HRESULT get_channels(std::int16_t, std::int32_t, vx_channel_record*) override { return E_FAIL; }
  HRESULT all_groups(std::int32_t*, vx_group_record**) override { return E_FAIL; }
  HRESULT group_channels(const vx_group_record*, std::int32_t*, vx_channel_record**) override { return E_FAIL; }
  HRESULT query_channel(std::int32_t selector, const vx_channel_record* r, std::int32_t* value,
                        std::int32_t option) override {
    const bool zeroed = std::count(r->bytes, r->bytes + 44, 0) >= 42;
    return note("b9(" + std::to_string(selector) + "," + std::to_string(r->channel()) +
                (zeroed ? ",zeroed," : ",dirty,") + std::to_string(option) + ")", value);
  }
  HRESULT query_browser(std::int32_t selector, std::int32_t argument, std::int32_t* value,
                        std::int32_t option) override {
    return note("b10(" + std::to_string(selector) + "," + std::to_string(argument) + "," + std::to_string(option) + ")",
                value);
  }
  HRESULT fill_group(vx_group_record*) override { return E_FAIL; }
  HRESULT fill_channel(vx_channel_record* r) override {
    r->bytes[4] = static_cast<std::uint8_t>(r->channel());  // what the node knows of its own channel
    log += name + ".b12(" + std::to_string(r->channel()) + ");";
    return S_OK;
  }
  HRESULT browser_word(std::int16_t* word) override { return note("b13", word); }
  HRESULT channel_word_of(std::uint16_t ch, std::int32_t selector, std::int16_t* word) override {
    return note("b14(" + std::to_string(ch) + "," + std::to_string(selector) + ")", word);
  }
  HRESULT channel_word(std::uint16_t ch, std::int16_t* word) override {
    return note("b15(" + std::to_string(ch) + ")", word);
  }
  HRESULT monitor_reserved3() override { return E_FAIL; }
  HRESULT monitor_reserved4() override { return E_FAIL; }
  HRESULT monitor_reserved5() override { return E_FAIL; }
  HRESULT monitor_reserved6() override { return E_FAIL; }
  HRESULT monitor_reserved7() override { return E_FAIL; }
  HRESULT monitor_reserved8() override { return E_FAIL; }
  HRESULT monitor_reserved9() override { return E_FAIL; }
  HRESULT channel_request(std::int32_t selector, std::uint16_t ch, std::int32_t argument, std::int32_t option) override {
    return note("k10(" + std::to_string(selector) + "," + std::to_string(ch) + "," + std::to_string(argument) + "," +
                std::to_string(option) + ")");
  }
  HRESULT channel_command(std::uint16_t ch, std::int32_t argument, std::int32_t option) override {
    return note("k11(" + std::to_string(ch) + "," + std::to_string(argument) + "," + std::to_string(option) + ")");
  }
  HRESULT channel_query(std::uint16_t ch, std::int32_t argument, std::int32_t option) override {
    return note("k12(" + std::to_string(ch) + "," + std::to_string(argument) + "," + std::to_string(option) + ")");
  }
  HRESULT monitor_reserved13() override { return E_FAIL; }
  HRESULT monitor_reserved14() override { return E_FAIL; }
  HRESULT archive(INvRegArchive**) override { return E_FAIL; }
  HRESULT channel_notice(std::uint16_t ch, std::int32_t argument) override {
    return note("k16(" + std::to_string(ch) + "," + std::to_string(argument) + ")");
  }
  HRESULT monitor_word(std::int16_t*) override { return E_FAIL; }

  std::string name;
  std::string log;
  com::ULONG refs = 1;

private:
  template <class T = int>
  HRESULT note(const std::string& call, T* out = nullptr) {
    log += name + "." + call + ";";
    if (out)
      *out = 7;
    return static_cast<HRESULT>(1);  // S_FALSE, to tell a forwarded result from the bridge's own
  }
};

// Node A owns local channels 3 and 5, node B local channel 3 (bridge numbers 0, 1, 2).
struct two_nodes {
  two_nodes() {
    ui_a.name = "A";
    ui_b.name = "B";
    EXPECT_EQ(bridge.add_channel(&a, &ui_a, &ui_a, 3), 0);
    EXPECT_EQ(bridge.add_channel(&b, &ui_b, &ui_b, 3), 1);
    EXPECT_EQ(bridge.add_channel(&a, &ui_a, &ui_a, 5), 2);
  }
  // Reads up to `max` records from `start`; "!" plus the result when it is not S_OK.
  std::string read(const arc_record& start, std::int32_t max, arc_record* next_out = nullptr,
                   const arc_channel_set* subset = nullptr) {
    std::vector<arc_record> out(static_cast<std::size_t>(max));
    arc_record next = rec(9999, 0, 0);
    std::int32_t count = -1, status = -1;
    const HRESULT hr = bridge.read_records(&start, &next, 0, subset, nullptr, max, &count, out.data(), &status);
    std::string text = hr == S_OK ? "" : "!" + std::to_string(hr) + " ";
    text += "status " + std::to_string(status) + ":";
    for (std::int32_t i = 0; i < count; ++i)
      text += " " + text_of(out[static_cast<std::size_t>(i)]);
    if (next_out)
      *next_out = next;
    return text;
  }
  fake_archive a, b;
  fake_node_ui ui_a, ui_b;
  multi_kov_archive bridge;
};

TEST(ArcRecordOrder, ComparesAndSteps) {
  struct row {
    arc_record a, b;
    bool less;
  };
  const row order[] = {
      {rec(1, 999, 5), rec(2, 0, 0), true},         {rec(2, 0, 0), rec(1, 999, 5), false},
      {rec(1, 3, 5), rec(1, 4, 0), true},           {rec(1, 3, 5), rec(1, 3, -1), true},
      {rec(1, 3, -1), rec(1, 3, 0x7FFF), false},    {rec(1, 3, 5, 2), rec(1, 3, 5, 3), true},
      {rec(1, 3, 5, 3), rec(1, 3, 5, 3), false},    {rec(1, 0x400 | 3, 5), rec(1, 4, 5), true},
      {rec(1, 3, 5, 0x40 | 2), rec(1, 3, 5, 3), true},
  };
  for (const auto& r : order) {
    SCOPED_TRACE(text_of(r.a) + " < " + text_of(r.b));
    EXPECT_EQ(arc_record_less(r.a, r.b), r.less);
  }
  struct step {
    arc_record from;
    std::string to;
  };
  const step steps[] = {
      {rec(10, 5, 2, 0), "10.5/2#1"},   {rec(10, 5, 2, 62), "10.5/2#63"}, {rec(10, 5, 2, 63), "10.5/3#0"},
      {rec(10, 5, -1, 63), "10.6/-1#0"}, {rec(10, 999, -1, 63), "11.0/-1#0"}, {rec(10, 999, 4, 63), "10.999/5#0"},
      {rec(10, 998, -1, 63), "10.999/-1#0"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(text_of(s.from));
    EXPECT_EQ(text_of(arc_next_position(s.from)), s.to);
  }
  arc_record flagged = rec(10, 5, 2, 0xC0 | 7);
  EXPECT_EQ(arc_next_position(flagged).data[5], 0xC0 | 8) << "bits above the sequence are kept";
}

TEST(MultiKovArchive, NumbersChannelsAndHoldsNodes) {
  fake_archive a, b;
  fake_node_ui ui;
  multi_kov_archive bridge;
  struct row {
    fake_archive* archive;
    fake_node_ui* browser;
    int channel;
    int number;
  };
  const row rows[] = {
      {&a, nullptr, 4, 0}, {&a, &ui, 7, 1},       {&b, &ui, 4, 2},        {&a, nullptr, 4, 0},
      {&b, nullptr, 4, 2}, {nullptr, &ui, 4, -1}, {&a, nullptr, -1, 3},   {&a, nullptr, 70000, -1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.channel);
    EXPECT_EQ(bridge.add_channel(r.archive, r.browser, r.browser, r.channel), r.number);
  }
  EXPECT_EQ(bridge.node_count(), 2);
  EXPECT_EQ(bridge.channel_count(), 4);
  EXPECT_EQ(a.refs, 2u);
  EXPECT_EQ(b.refs, 2u);
  EXPECT_EQ(ui.refs, 4u) << "the first browser given, and node B's browser and monitor";
  void* out = nullptr;
  EXPECT_EQ(bridge.QueryInterface(com::IID_IvxKOV, &out), S_OK);
  EXPECT_EQ(out, bridge.monitor_interface());
  EXPECT_EQ(bridge.QueryInterface(com::IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, bridge.archive_interface());
  EXPECT_EQ(bridge.QueryInterface(com::IID_IvxChBrowser, &out), S_OK);
  EXPECT_EQ(out, bridge.browser_interface());
  EXPECT_EQ(bridge.QueryInterface(com::IID_IvxPrjNode, &out), com::E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(bridge.AddRef(), 2u);
  bridge.reset();
  EXPECT_EQ(bridge.node_count(), 0);
  EXPECT_EQ(a.refs + b.refs + ui.refs, 3u);
}

TEST(MultiKovArchive, TimeRangeOverAnsweringNodes) {
  struct node {
    HRESULT result;
    std::int32_t status;
    arc_record first, last;
  };
  struct row {
    const char* what;
    std::vector<node> nodes;
    std::string first, last;
    std::int32_t status;
  };
  const node early{S_OK, 0, rec(100, 500, 3), rec(200, 0, 3)};
  const node late{S_OK, 0, rec(100, 20, 5), rec(300, 7, 5)};
  const row rows[] = {
      {"no node", {}, "0.0/0#0", "0.0/0#0", 2},
      {"none answers", {{E_FAIL, 0, rec(1, 0, 0), rec(2, 0, 0)}, {S_OK, 1, rec(1, 0, 0), rec(2, 0, 0)}},
       "0.0/0#0", "0.0/0#0", 2},
      {"one", {early}, "100.500/0#0", "200.0/0#0", 0},
      {"several", {early, late}, "100.20/0#0", "300.7/0#0", 0},
      {"one fails", {{E_FAIL, 0, rec(1, 0, 0), rec(900, 0, 0)}, late}, "100.20/0#0", "300.7/0#0", 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    std::vector<fake_archive> archives(r.nodes.size());
    multi_kov_archive bridge;
    for (std::size_t i = 0; i < r.nodes.size(); ++i) {
      archives[i].range_result = r.nodes[i].result;
      archives[i].range_status = r.nodes[i].status;
      archives[i].range_first = r.nodes[i].first;
      archives[i].range_last = r.nodes[i].last;
      bridge.add_channel(&archives[i], nullptr, nullptr, 1);
    }
    arc_record first = rec(5, 5, 5), last = rec(5, 5, 5);
    std::int32_t status = -1;
    EXPECT_EQ(bridge.time_range(&first, &last, &status), S_OK);
    EXPECT_EQ(text_of(first), r.first);
    EXPECT_EQ(text_of(last), r.last);
    EXPECT_EQ(status, r.status);
  }
}

TEST(MultiKovArchive, EnumeratesVisibleChannels) {
  two_nodes t;
  EXPECT_TRUE(t.bridge.set_hidden(1, true));
  EXPECT_FALSE(t.bridge.set_hidden(3, true));
  struct row {
    std::int32_t start, count;
    HRESULT result;
    std::string numbers;
  };
  const row rows[] = {
      {0, 10, S_OK, "0 2 "}, {0, 1, S_OK, "0 "}, {1, 10, S_OK, "2 "}, {3, 10, S_OK, ""},
      {0, 0, S_OK, ""},      {-1, 5, S_OK, ""},  {0, -1, E_INVALIDARG, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.start) + "+" + std::to_string(r.count));
    std::int16_t numbers[10];
    std::int32_t written = -1, extra = -1;
    EXPECT_EQ(t.bridge.channel_list(r.start, r.count, &written, numbers, &extra), r.result);
    std::string text;
    for (std::int32_t i = 0; r.result == S_OK && i < written; ++i)
      text += std::to_string(numbers[i]) + " ";
    EXPECT_EQ(text, r.numbers);
    EXPECT_EQ(extra, r.result == S_OK ? 0 : -1);
  }
}

TEST(MultiKovArchive, MergesNodesInArchiveOrder) {
  two_nodes t;
  t.a.records = {rec(10, 0, 3), rec(10, 0, 5), rec(11, 0, 3), rec(12, 500, 5, 1), rec(12, 500, 5, 2)};
  t.b.records = {rec(10, 0, 3), rec(10, 0, 9), rec(12, 0, 3), rec(12, 500, 3), rec(13, 0, 3)};
  arc_record next;
  EXPECT_EQ(t.read(rec(0, 0, 0), 20, &next),
            "status 0: 10.0/0#0 10.0/1#0 10.0/2#0 11.0/0#0 12.0/1#0 12.500/1#0 12.500/2#1 12.500/2#2 13.0/1#0");
  EXPECT_EQ(text_of(next), "13.0/1#1");
  EXPECT_EQ(t.a.asked, (std::vector<std::int16_t>{3, 5}));
  EXPECT_EQ(text_of(t.b.bound), "9999.0/-1#63") << "the caller's bound, preset to the end of its millisecond";
  const std::int16_t only_b[] = {1, 7};
  const arc_channel_set subset{2, only_b};
  EXPECT_EQ(t.read(rec(12, 0, 0), 20, nullptr, &subset), "status 0: 12.0/1#0 12.500/1#0 13.0/1#0");
  EXPECT_TRUE(t.a.asked.empty()) << "node A holds none of the channels asked for";
}

TEST(MultiKovArchive, ContinuesOrRestartsReading) {
  two_nodes t;
  for (std::uint32_t s = 0; s < 2500; ++s)
    t.a.records.push_back(rec(1000 + s, 0, 3));
  for (std::uint32_t s = 0; s < 1800; ++s)
    t.b.records.push_back(rec(1000 + s, 500, 3));
  std::vector<std::string> got;
  arc_record start = rec(1000, 0, 0);
  std::string text;
  for (int block = 0; block < 6; ++block) {
    arc_record next;
    text = t.read(start, 1000, &next);
    got.push_back(text.substr(0, text.find(' ', 10)));
    start = next;
  }
  EXPECT_EQ(got, (std::vector<std::string>{"status 0: 1000.0/0#0", "status 0: 1500.0/0#0", "status 0: 2000.0/0#0",
                                           "status 0: 2500.0/0#0", "status 0: 3200.0/0#0", "status 0:"}));
  EXPECT_EQ(t.a.starts.size(), 3u) << "blocks of 1024, 1024 and 452";
  EXPECT_EQ(t.b.starts.size(), 2u) << "blocks of 1024 and 776";
  EXPECT_EQ(text_of(t.a.starts[1]), "2023.0/3#1") << "the node goes on just after its last record";
  t.a.records.assign(5, rec(7, 0, 5, 63));
  t.a.starts.clear();
  EXPECT_EQ(t.read(rec(7, 0, 2, 9), 2), "status 0: 7.0/2#63 7.0/2#63");
  EXPECT_EQ(text_of(t.a.starts.at(0)), "7.0/0#0") << "a restart reads from the start's time";
  EXPECT_EQ(t.read(rec(7, 0, 3, 0), 2), "status 0: 7.0/2#63 7.0/2#63") << "continued from the bridge position";
  EXPECT_EQ(t.a.starts.size(), 1u);
}

TEST(MultiKovArchive, ReadFailuresAndBadArguments) {
  struct row {
    const char* what;
    HRESULT result;
    std::int32_t status, oversize;
    std::string head;
    std::size_t records;
  };
  const row rows[] = {
      {"node fails", E_FAIL, 0, 0, "!-2147467259 status 0:", 0},
      {"node status", S_OK, 4, 0, "status 4:", 0},
      {"count beyond the buffer is a full buffer", S_OK, 0, 5000, "status 0: 1.0/0#0 1.0/1#0 1.0/2#0 0.0/-1#0", 1030},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    two_nodes t;
    t.a.records = {rec(1, 0, 3), rec(1, 0, 5)};
    t.b.records = {rec(1, 0, 3)};
    t.a.read_result = r.result;
    t.a.read_status = r.status;
    t.a.oversize = r.oversize;
    const std::string text = t.read(rec(1, 0, 0), 1030);
    EXPECT_EQ(text.substr(0, r.head.size()), r.head);
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '/')), r.records);
  }
  two_nodes t;
  arc_record start, next, out[2];
  std::int32_t count = 0, status = 0;
  const arc_channel_set negative{-1, nullptr}, missing{2, nullptr};
  EXPECT_EQ(t.bridge.read_records(&start, &next, 0, nullptr, nullptr, -1, &count, out, &status), E_INVALIDARG);
  EXPECT_EQ(t.bridge.read_records(&start, &next, 0, &negative, nullptr, 2, &count, out, &status), E_INVALIDARG);
  EXPECT_EQ(t.bridge.read_records(&start, &next, 0, &missing, nullptr, 2, &count, out, &status), E_POINTER);
  EXPECT_EQ(t.bridge.read_records(&start, nullptr, 0, nullptr, nullptr, 2, &count, out, &status), E_POINTER);
  EXPECT_EQ(t.bridge.read_records(&start, &next, 0, nullptr, nullptr, 2, &count, nullptr, &status), E_POINTER);
  EXPECT_TRUE(t.a.starts.empty());
}

TEST(MultiKovArchive, ReadsValuesIntoCallerPlaces) {
  two_nodes t;
  t.a.tag = 100;
  t.b.tag = 200;
  const std::int16_t asked[] = {2, 1, 9, 0, -1};
  arc_record out[5];
  std::int32_t status = -1;
  EXPECT_EQ(t.bridge.read_values(1, 2, 3, 4, 5, asked, nullptr, 8, out, &status), S_OK);
  std::string text;
  for (const arc_record& r : out)
    text += text_of(r) + " ";
  EXPECT_EQ(text, "100.0/2#0 200.0/1#0 0.0/0#0 100.0/0#0 0.0/0#0 ");
  t.b.read_status = 3;
  EXPECT_EQ(t.bridge.read_values(1, 2, 3, 4, 5, asked, nullptr, 8, out, &status), S_OK);
  EXPECT_EQ(status, 3);
  EXPECT_EQ(t.bridge.read_values(1, 2, 3, 4, -1, asked, nullptr, 8, out, &status), E_INVALIDARG);
  EXPECT_EQ(t.bridge.read_values(1, 2, 3, 4, 1, asked, nullptr, 8, nullptr, &status), E_POINTER);
}

TEST(MultiKovArchive, BrowsesOneVirtualGroup) {
  fake_archive c;  // declared first: the bridge releases it when it goes
  two_nodes t;
  t.bridge.add_channel(&c, nullptr, nullptr, 8);  // bridge 3: a node without browser or monitor
  IvxChBrowser& br = *t.bridge.browser_interface();
  std::int32_t n = 0;
  EXPECT_EQ(br.group_count(&n), S_OK);
  EXPECT_EQ(n, 1);
  vx_group_record group;
  group.group = 4;
  struct row {
    const char* what;
    HRESULT got, want;
  };
  vx_channel_record channels[5];
  const row rows[] = {
      {"two groups", br.get_groups(2, &group), E_INVALIDARG},
      {"group 1 count", br.channel_count(1, &n), E_INVALIDARG},
      {"group 1 channels", br.get_channels(1, 1, channels), E_INVALIDARG},
      {"too many channels", br.get_channels(0, 5, channels), E_INVALIDARG},
      {"negative channels", br.get_channels(0, -1, channels), E_INVALIDARG},
      {"fill group 4", br.fill_group(&group), E_INVALIDARG},
      {"one group", br.get_groups(1, &group), S_OK},
      {"all channels", br.get_channels(0, 4, channels), S_OK},
      {"channel count", br.channel_count(0, &n), S_OK},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(r.got, r.want);
  }
  EXPECT_EQ(n, 4);
  EXPECT_EQ(std::u16string(group.name), u"virtual");
  EXPECT_EQ(t.ui_a.log + t.ui_b.log, "A.b12(3);A.b12(5);B.b12(3);");
  const int seen[] = {3, 3, 5, 0};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(channels[i].channel(), i) << "the record leaves with its bridge number";
    EXPECT_EQ(channels[i].bytes[4], seen[i]);
  }
  vx_group_record* groups = nullptr;
  vx_channel_record* all = nullptr;
  EXPECT_EQ(br.all_groups(&n, &groups), S_OK);
  EXPECT_EQ(std::u16string(groups->name), u"virtual");
  EXPECT_EQ(br.group_channels(groups, &n, &all), S_OK);
  EXPECT_EQ(n, 4);
  EXPECT_EQ(all[2].channel(), 2);
  EXPECT_EQ(all[2].bytes[4], 5);
  com::CoTaskMemFree(groups);
  com::CoTaskMemFree(all);
}

TEST(MultiKovArchive, ForwardsBrowserAndMonitorCalls) {
  fake_archive c;  // declared first: the bridge releases it when it goes
  two_nodes t;
  t.bridge.add_channel(&c, nullptr, nullptr, 8);  // bridge 3: a node without browser or monitor
  IvxChBrowser& br = *t.bridge.browser_interface();
  IvxKOV& kov = *t.bridge.monitor_interface();
  std::int32_t v = -1;
  std::int16_t s = -1;
  vx_channel_record record;
  record.set_channel(2);
  record.bytes[0] = 0x55;
  struct row {
    const char* what;
    HRESULT got, want;
    std::string log, want_log;
  };
  auto log = [&] { std::string l = t.ui_a.log + t.ui_b.log; t.ui_a.log.clear(); t.ui_b.log.clear(); return l; };
  const row rows[] = {
      {"b9", br.query_channel(1, &record, &v, 2), 1, log(), "A.b9(1,5,zeroed,2);"},
      {"b10 to the first browser", br.query_browser(1, 2, &v, 3), 1, log(), "A.b10(1,2,3);"},
      {"b13 to the first browser", br.browser_word(&s), 1, log(), "A.b13;"},
      {"b14", br.channel_word_of(1, 6, &s), 1, log(), "B.b14(3,6);"},
      {"b15", br.channel_word(2, &s), 1, log(), "A.b15(5);"},
      {"b15 unknown", br.channel_word(4, &s), E_INVALIDARG, log(), ""},
      {"b14 no browser", br.channel_word_of(3, 6, &s), E_POINTER, log(), ""},
      {"k10", kov.channel_request(1, 2, 3, 4), 1, log(), "A.k10(1,5,3,4);"},
      {"k11", kov.channel_command(1, 8, 9), 1, log(), "B.k11(3,8,9);"},
      {"k12", kov.channel_query(0, 8, 9), 1, log(), "A.k12(3,8,9);"},
      {"k16", kov.channel_notice(2, 8), 1, log(), "A.k16(5,8);"},
      {"k16 unknown", kov.channel_notice(0xFFFF, 8), E_FAIL, log(), ""},
      {"k10 no monitor", kov.channel_request(1, 3, 3, 4), E_POINTER, log(), ""},
      {"k5", kov.monitor_reserved5(), E_FAIL, log(), ""},
      {"k17", kov.monitor_word(&s), S_OK, log(), ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(r.got, r.want);
    EXPECT_EQ(r.log, r.want_log);
  }
  EXPECT_EQ(s, 1);
  INvRegArchive* own = nullptr;
  EXPECT_EQ(kov.archive(&own), S_OK);
  EXPECT_EQ(own, t.bridge.archive_interface());
  multi_kov_archive empty;
  EXPECT_EQ(empty.browser_word(&s), E_FAIL);
  EXPECT_EQ(s, 0);
}

TEST(MultiKovArchive, ReadsSimulatedNodes) {
  constexpr std::uint32_t T = 1000000000;
  demo_project project;
  ASSERT_TRUE(project.loaded);
  kov_sim_data_source source(&project.map, T);
  multi_kov_archive bridge;
  EXPECT_EQ(bridge.add_channel(source.node_archive(0), nullptr, nullptr, 0), 0);
  EXPECT_EQ(bridge.add_channel(source.node_archive(1), nullptr, nullptr, 10), 1);
  EXPECT_EQ(bridge.add_channel(source.node_archive(0), nullptr, nullptr, 4), 2);
  arc_record first, last, start = rec(T - 2, 0, 0), next = rec(T + 100, 0, 0), out[10];
  std::int32_t status = -1, count = -1;
  EXPECT_EQ(bridge.time_range(&first, &last, &status), S_OK);
  EXPECT_EQ(text_of(last), std::to_string(T + 1) + ".0/0#0");
  EXPECT_EQ(bridge.read_records(&start, &next, 0, nullptr, nullptr, 10, &count, out, &status), S_OK);
  std::string text;
  for (std::int32_t i = 0; i < count; ++i)
    text += std::to_string(out[i].time - (T - 2)) + "/" + std::to_string(out[i].channel) + "=" +
            std::to_string(static_cast<int>(out[i].value())) + " ";
  EXPECT_EQ(text, "0/0=94 0/1=64 0/2=22 1/0=97 1/1=67 1/2=25 ");
  EXPECT_EQ(text_of(next), std::to_string(T - 1) + ".0/2#1");
  const std::int16_t asked[] = {1, 2};
  EXPECT_EQ(bridge.read_values(0, 0, 0, 0, 2, asked, nullptr, 0, out, &status), S_OK);
  EXPECT_EQ(out[0].channel, 1);
  EXPECT_EQ(out[0].value(), 70.0f);
  EXPECT_EQ(out[1].value(), 28.0f);
}

}  // namespace
}  // namespace quillet::test
