// The project channel map and holder over the demo project: node, object, channel and
// attribute resolution by name and number, names read back, hosts, and failed loads.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/com/registry.h"
#include "tests/data/project_support.h"

namespace quillet::test {
namespace {

anyval s(const char* text) { return anyval::from_string(text); }
anyval i(int n) { return anyval::from_int(n); }
const anyval none;

TEST(ProjectMap, FindsNodesAndObjects) {
  demo_project p;
  ASSERT_TRUE(p.loaded) << p.holder.error_text();
  EXPECT_EQ(p.map.node_count(), 4);
  struct row {
    const char* what;
    anyval value;
    int node;
  };
  const row rows[] = {
      {"BOILERS", s("BOILERS"), 0}, {"SUBSTATION", s("SUBSTATION"), 2}, {"1", i(1), 1},
      {"2.9", anyval::from_float(2.9), 2}, {"BOILER_HOUSE", s("BOILER_HOUSE"), 3}, {"4", i(4), -1}, {"-1", i(-1), -1},
      {"case counts", s("boilers"), -1}, {"none", none, -1}, {"empty name", s(""), -1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(p.map.find_node(r.value), r.node);
  }
  struct object_row {
    int node;
    anyval value;
    int object;
  };
  const object_row objects[] = {
      {0, s("PUMPS"), 1}, {1, s("RESERVOIR"), 2}, {0, s("RESERVOIR"), -1}, {0, i(2), 2},
      {5, s("PUMPS"), -1}, {-1, i(0), -1}, {0, none, -1}, {2, s("FEEDER1"), 1}, {0, i(32768), -1}, {0, i(-3), -1},
  };
  for (const auto& r : objects) {
    SCOPED_TRACE(r.node);
    EXPECT_EQ(p.map.find_object(r.node, r.value), r.object);
  }
}

TEST(ProjectMap, FindsChannelsWithTheirKindAndAttribute) {
  demo_project p;
  ASSERT_TRUE(p.loaded);
  struct row {
    const char* what;
    int node;
    anyval object, channel, attribute;
    bool ok;
    kov_chan_ident ident;
  };
  const row rows[] = {
      {"name in object 0", 0, none, s("T_SUPPLY"), none, true, {0, 0, 0, 0, 0}},
      {"name in object", 0, s("PUMPS"), s("PUMP1_ON"), none, true, {0, 1, 2, 0, 1}},
      {"not in that object", 0, s("PUMPS"), s("T_SUPPLY"), none, false, {}},
      {"number with attribute name", 0, none, i(5), s("HI"), true, {0, 0, 5, 1, 1}},
      {"number with attribute code", 1, none, s("T_SUPPLY"), i(3), true, {1, 0, 10, 3, 0}},
      {"object by number", 1, i(1), i(4), none, true, {1, 1, 4, 0, 1}},
      {"no such number", 0, none, i(6), none, false, {}},
      {"negative number", 0, none, i(-1), none, false, {}},
      {"unknown attribute", 0, none, s("T_SUPPLY"), s("NOPE"), false, {}},
      {"negative attribute", 0, none, s("T_SUPPLY"), i(-2), false, {}},
      {"unknown object", 0, s("NOPE"), s("T_SUPPLY"), none, false, {}},
      {"node outside", 4, none, s("T_SUPPLY"), none, false, {}},
      {"dotted name", 3, s("PUMPS"), s("PUMP2.RUN"), none, true, {3, 3, 7, 0, 1}},
      {"channel left out", 0, none, none, none, false, {}},
      {"case counts", 0, none, s("t_supply"), none, false, {}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    kov_chan_ident ident;
    EXPECT_EQ(p.map.find_channel(r.node, r.object, r.channel, r.attribute, ident), r.ok);
    if (r.ok) {
      EXPECT_EQ(ident, r.ident);
    }
  }
}

TEST(ProjectMap, NamesIdentitiesBack) {
  demo_project p;
  ASSERT_TRUE(p.loaded);
  using query = bool (kov_project_map::*)(const kov_chan_ident&, std::string&) const;
  struct row {
    const char* what;
    query q;
    kov_chan_ident ident;
    bool ok;
    const char* text;
  };
  const row rows[] = {
      {"channel", &kov_project_map::channel_name, {0, 1, 2, 0, 1}, true, "PUMP1_ON"},
      {"node", &kov_project_map::node_name, {0, 1, 2, 0, 1}, true, "BOILERS"},
      {"object", &kov_project_map::object_name, {0, 1, 2, 0, 1}, true, "PUMPS"},
      {"root object", &kov_project_map::object_name, {2, 0, 1, 0, 0}, true, "SUBSTATION"},
      {"coding from code", &kov_project_map::channel_coding, {0, 0, 0, 0, 0}, true, "TT-101"},
      {"coding from comment", &kov_project_map::channel_coding, {0, 1, 2, 0, 1}, true, "Pump 1 running"},
      {"unit", &kov_project_map::unit_name, {1, 0, 1, 0, 0}, true, "m3/h"},
      {"empty unit", &kov_project_map::unit_name, {0, 1, 2, 0, 1}, true, ""},
      {"attribute", &kov_project_map::attribute_name, {0, 0, 0, 2, 0}, true, "LO"},
      {"no attribute row", &kov_project_map::attribute_name, {0, 0, 0, 9, 0}, false, ""},
      {"channel not in object", &kov_project_map::channel_name, {0, 1, 0, 0, 0}, false, ""},
      {"node outside", &kov_project_map::node_name, {7, 0, 0, 0, 0}, false, ""},
      {"negative node", &kov_project_map::channel_name, {-1, 0, 0, 0, 0}, false, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    std::string text = "stale";
    EXPECT_EQ((p.map.*r.q)(r.ident, text), r.ok);
    EXPECT_EQ(text, r.text);
  }
  std::string host;
  EXPECT_TRUE(p.map.host_name(1, host));
  EXPECT_EQ(host, "pump-pc");
  EXPECT_FALSE(p.map.host_name(4, host));
  EXPECT_NE(p.map.node_object(2), nullptr);
  EXPECT_EQ(p.map.node_object(4), nullptr);
}

TEST(ProjectMap, AttachNullEmptiesAndTheMapOutlivesItsHolder) {
  auto p = std::make_unique<demo_project>();
  kov_project_map kept;
  kept.attach(p->holder.project());
  p->map.attach(nullptr);
  EXPECT_EQ(p->map.node_count(), 0);
  EXPECT_EQ(p->map.find_node(i(0)), -1);
  p.reset();
  std::string name;
  EXPECT_TRUE(kept.channel_name({2, 1, 3, 0, 0}, name));
  EXPECT_EQ(name, "POWER");
}

TEST(ProjectHolder, LoadFailuresAndMissingComponent) {
  com::register_project_component();
  kov_project_holder holder;
  ASSERT_TRUE(holder.create());
  const std::string broken = testing::TempDir() + "holder_broken.json";
  std::ofstream(broken) << "{\"nodes\": [{\"name\": \"A\", \"channels\": [{\"number\": 99999, \"name\": \"X\"}]}]}";
  EXPECT_FALSE(holder.load(broken));
  EXPECT_FALSE(holder.loaded());
  EXPECT_EQ(holder.error_text(), broken + ": nodes[0].channels[0].number: must be 0 to 32766");
  std::remove(broken.c_str());
  EXPECT_TRUE(holder.load(demo_project_path()));
  EXPECT_TRUE(holder.loaded());
  EXPECT_EQ(holder.error_text(), "");
  std::string path = "x";
  EXPECT_FALSE(holder.browse(path));  // no chooser: a cancelled choice
  EXPECT_EQ(path, "x");

  com::unregister_component(com::CLSID_VxProject);
  EXPECT_FALSE(holder.create());
  EXPECT_FALSE(holder.load(demo_project_path()));
  EXPECT_EQ(holder.error_text(), "Error loading vxplib.dll: component is registered incorrectly");
  com::register_project_component();
}

}  // namespace
}  // namespace quillet::test
