// The channel library: its names and their order, exact matching, a new function object per
// lookup bound to the library's processor, and calls without an argument vector.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "data_support.h"

namespace quillet::test {
namespace {

// Calls a function found in a library with no argument vector at all.
std::string call_without_args(kov_txl_library& library, const std::string& name) {
  const txl_function_entry* entry = nullptr;
  txl_cookie cookie = nullptr;
  if (!library.lookup(name.data(), name.size(), entry, cookie))
    return "(unknown)";
  std::string error = "(silent)";
  txl_call call;
  call.error = &error;
  const bool ok = entry->call(cookie, call);
  entry->release(cookie);
  return ok ? describe(call.result) : error;
}

TEST(ChannelLibrary, NamesInLookupOrder) {
  const std::vector<std::string> expected = {"DEBUG",  "READLIST", "IDX",     "ROW",    "COL",    "TIME",
                                             "CHAN",   "NAME",     "NODE",    "OBJECT", "ATTR",   "CHCODE",
                                             "CHUNIT", "GETVAL",   "READVAL", "LASTVAL", "RNSTAT", "RTSTAT",
                                             "SELCHAN", "EVENTS",  "EFILTER", "ETYPE",  "SEVERITY"};
  const auto names = kov_txl_library::names();
  ASSERT_EQ(names.size(), expected.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    EXPECT_EQ(names[i], expected[i]) << i;
}

// Every name is found, each lookup makes its own object; near misses are not found.
TEST(ChannelLibrary, LookupIsExact) {
  kov_txl_library library;
  for (const char* name : kov_txl_library::names()) {
    SCOPED_TRACE(name);
    const txl_function_entry* entry = nullptr;
    txl_cookie first = nullptr;
    txl_cookie second = nullptr;
    ASSERT_TRUE(library.lookup(name, std::strlen(name), entry, first));
    ASSERT_TRUE(library.lookup(name, std::strlen(name), entry, second));
    EXPECT_EQ(entry, &kov_function_entry());
    EXPECT_NE(first, nullptr);
    EXPECT_NE(first, second);
    entry->release(first);
    entry->release(second);
  }
  const std::string misses[] = {"time", "Chan", "CHAN ", "CHA", "CHANX", "", "ABS", "IF", std::string("IDX\0", 4)};
  for (const std::string& name : misses) {
    SCOPED_TRACE(name);
    const txl_function_entry* entry = &kov_function_entry();
    txl_cookie cookie = nullptr;
    EXPECT_FALSE(library.lookup(name.data(), name.size(), entry, cookie));
    EXPECT_EQ(entry, nullptr);
  }
}

// A call record without an argument vector is a call without arguments.
TEST(ChannelLibrary, CallsWithoutArgumentVector) {
  fake_source source;
  fake_context context;
  context.source = &source;
  context.time = 99;
  const std::pair<const char*, const char*> rows[] = {
      {"CHAN", "#CHAN:ARGS#"},       {"NAME", "#NAME:ARGS#"},         {"OBJECT", "#OBJECT:ARGS#"},
      {"GETVAL", "#GETVAL:ARGS#"},   {"READVAL", "#READVAL:ARGS#"},   {"LASTVAL", "#LASTVAL:ARGS#"},
      {"RNSTAT", "#RSTAT:ARGS#"},    {"RTSTAT", "#RSTAT:ARGS#"},      {"SELCHAN", "#SELCHAN:ARGS#"},
      {"EVENTS", "#EVENTS:ARGS#"},   {"ETYPE", "#ETYPE:ARGS#"},       {"SEVERITY", "#SEVERITY:ARGS#"},
      {"READLIST", "#READLIST:ARGS#"}, {"TIME", "f:99"},              {"DEBUG", "i:0"},
      {"IDX", "#!CONTEXT#"},         {"ATTR", "#ATTR:ARGS#"},         {"CHCODE", "#CHCODE:ARGS#"},
      {"CHUNIT", "#CHUNIT:ARGS#"},   {"NODE", "#NODE:ARGS#"},
  };
  for (const auto& [name, expect] : rows) {
    SCOPED_TRACE(name);
    EXPECT_EQ(call_without_args(context.library, name), expect);
  }
  EXPECT_EQ(context.sink.text, "DEBUG:\n");
}

// Functions made before a processor is set run as outside any report: time 0, no source,
// no repeats, diagnostics discarded. Lookups after set_processor reach the processor.
TEST(ChannelLibrary, ProcessorOfTheLibrary) {
  kov_txl_library library;
  EXPECT_EQ(call_without_args(library, "TIME"), "f:0");
  EXPECT_EQ(call_without_args(library, "IDX"), "#!CONTEXT#");
  EXPECT_EQ(call_without_args(library, "DEBUG"), "i:0");
  fake_context context;
  context.time = 5;
  context.stacks.set_index(context.stacks.push_context(2), 4);
  library.set_processor(&context);
  EXPECT_EQ(library.processor(), &context);
  EXPECT_EQ(call_without_args(library, "TIME"), "f:5");
  EXPECT_EQ(call_without_args(library, "COL"), "i:4");
  EXPECT_EQ(call_without_args(library, "DEBUG"), "i:0");
  EXPECT_EQ(context.sink.text, "DEBUG:\n");
}

// Bound as the processor binds: the channel library before the built-ins, unknown names
// reported, and every function object released with its call site.
TEST(ChannelLibrary, BindingThroughTheContext) {
  fake_context context;
  context.time = 1700000000;
  run_rows(context, {
                        {"TIMESTR(\"%Y\", TIME())", "s:2023"},
                        {"FOO(1)", "#UNK:FOO:#"},
                        {"time()", "#UNK:time:#"},
                    });
  EXPECT_NE(context.sink.text.find("unknown function: FOO\n"), std::string::npos);
  EXPECT_NE(context.sink.text.find("unknown function: time\n"), std::string::npos);
}

TEST(ProcessorContext, MessagesAreFormatted) {
  fake_context context;
  context.message("unknown function: %s\n", "FOO");
  context.message("compute error (%s): %s\n", std::string(3000, 'n').c_str(), "#X#");
  EXPECT_EQ(context.sink.text, "unknown function: FOO\ncompute error (" + std::string(3000, 'n') + "): #X#\n");
  kov_no_processor().message("%d", 1);  // discarded without harm
  EXPECT_EQ(kov_no_processor().report_time(), 0u);
  EXPECT_EQ(kov_no_processor().data_source(), nullptr);
}

}  // namespace
}  // namespace quillet::test
