// Helpers for the data-access tests: a small fake data source of two nodes that logs its
// calls, a fake processor context around the channel library, and ways to evaluate an
// expression in it and describe the outcome.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/kov_data_source.h"
#include "data/kov_library.h"
#include "txl/user_function.h"

namespace quillet::test {

// "i:3", "f:2.5", "s:abc", "v(i:1,s:a)" with "-" for an empty element, "(empty)".
std::string describe(const anyval& v);

// Channels: TEMP (node 0, object 1, channel 5, kind 2), PRESS (0, 1, 6), FLOW (1, 2, 7).
// Values read at a time t are channel * 10 + t % 100, stamped t. Events: node 0 has two
// (severity 220 and 800), node 1 none. `refuse` makes every operation fail; `oversize` of 0 or
// more makes READVAL ranges and SELCHAN answer that many values more than a read may return.
class fake_source : public kov_txl_data_source {
public:
  void open_nodes() override { log += "open;"; }
  void close_nodes() override { log += "close;"; }
  int node_count() const override { return 2; }
  int node_state(int node) const override { return node == 0 || node == 1 ? 1 : 0; }
  void node_name(int node, std::string& out) const override;
  bool make_channel_ref(const anyval& name, const anyval& attr, const anyval& node, const anyval& object,
                        anyval& result) override;
  bool make_object_ref(const anyval& node, const anyval& object, anyval& result) override;
  bool channel_name(const anyval& ref, anyval& result) override;
  bool channel_node_name(const anyval& ref, anyval& result) override;
  bool channel_object_name(const anyval& ref, anyval& result) override;
  bool channel_attr_name(const anyval& ref, anyval& result) override;
  bool channel_code(const anyval& ref, anyval& result) override;
  bool channel_unit(const anyval& ref, anyval& result) override;
  bool read_value_at(const anyval& ref, const anyval& time, const anyval& limit, anyval& result) override;
  bool read_values(const anyval& ref, const anyval& from, const anyval& to, anyval& result) override;
  bool current_value(const anyval& ref, anyval& result) override;
  bool statistics(const anyval& ref, const anyval& from, const anyval& to, int by_time,
                  txl_stat_record& record) override;
  bool select_channels(const anyval& node, const anyval& object, const anyval& condition,
                       anyval& result) override;
  bool events(const anyval& node, const anyval& filter, anyval& result) override;

  std::uint32_t now = 1000000;  // stamp of current values
  bool refuse = false;
  int oversize = -1;
  std::string log;  // "op(args);" for the calls that take arguments
};

// A processor context over the channel library: the run's time, source and folder are
// plain fields; diagnostics are collected; variables are compiled user functions.
class fake_context : public kov_processor_context {
public:
  fake_context();
  ~fake_context() override;

  std::uint32_t report_time() const override { return time; }
  kov_txl_data_source* data_source() const override { return source; }
  std::string_view template_folder() const override { return folder; }
  const kov_context_stacks& contexts() const override { return stacks; }
  txl_diagnostic_sink& diagnostics() override { return sink; }
  void prepare_binder(txl_binder& binder) override;

  // Adds a template variable compiled from source.
  void add_variable(const std::string& name, const std::string& text);
  // Compiles, binds and evaluates a text as a property: the value as describe() writes it,
  // the error text on failure, "compile error" when it does not compile.
  std::string eval(std::string_view text);

  struct collecting_sink : txl_diagnostic_sink {
    void print(std::string_view message) override { text.append(message); }
    std::string text;
  };

  std::uint32_t time = 1700000000;
  kov_txl_data_source* source = nullptr;
  std::string folder;
  kov_context_stacks stacks;
  collecting_sink sink;
  kov_txl_library library{this};
  std::vector<rc_ptr<txl_user_function>> variables;
};

// A compiled, bound property kept alive so that its caching can be watched.
class bound_property {
public:
  bound_property(fake_context& context, std::string_view text);
  ~bound_property();
  std::string eval();
  rc_ptr<txl_user_function> function;  // empty when the text does not compile

private:
  fake_context& context_;
};

struct eval_row {
  std::string_view text;
  std::string_view expect;
};

// Evaluates every row in the context, naming the row in a failure.
void run_rows(fake_context& context, const std::vector<eval_row>& rows);

}  // namespace quillet::test
