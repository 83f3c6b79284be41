// DEBUG: the text it sends to the diagnostic sink, and its result.
#include <gtest/gtest.h>

#include "data_support.h"

namespace quillet::test {
namespace {

TEST(Debug, TextsSentToTheSink) {
  const struct {
    const char* call;
    std::string sent;
  } rows[] = {
      {"DEBUG()", "DEBUG:\n"},
      {"DEBUG(\"x\", LIST(1, \"y\"), 2)", "DEBUG:x[1,y]2\n"},
      {"DEBUG(LIST())", "DEBUG:[]\n"},
      {"DEBUG(LIST(LIST(1, LIST()), 2.5), \"\")", "DEBUG:[[1,[]],2.5]\n"},
      {"DEBUG(1e20, -3)", "DEBUG:1e+020-3\n"},
      {"DEBUG(\"a,b\", \"[c]\")", "DEBUG:a,b[c]\n"},
      {"DEBUG(CHAN(\"TEMP\"), EVENTS(0))", "DEBUG:5[Overheat,Alarm]\n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.call);
    fake_source source;
    fake_context context;
    context.source = &source;
    context.sink.text.clear();
    EXPECT_EQ(context.eval(r.call), "i:0");
    EXPECT_EQ(context.sink.text, r.sent);
  }
}

// Absent values, which only a caller outside the language can hand over, print as "(null)".
TEST(Debug, AbsentValues) {
  fake_context context;
  const txl_function_entry* entry = nullptr;
  txl_cookie cookie = nullptr;
  ASSERT_TRUE(context.library.lookup("DEBUG", 5, entry, cookie));
  std::string error;
  txl_call call;
  call.args = anyval::from_vector({anyval(), anyval::from_vector({anyval::from_int(1), anyval()}), anyval()});
  call.error = &error;
  EXPECT_TRUE(entry->call(cookie, call));
  entry->release(cookie);
  EXPECT_EQ(describe(call.result), "i:0");
  EXPECT_EQ(context.sink.text, "DEBUG:(null)[1,(null)](null)\n");
}

// Deep nesting is written without recursion; a text past 64 KiB is cut there and ends in
// "...".
TEST(Debug, DeepAndLongValues) {
  const std::size_t cut = std::size_t{64} << 10;
  const struct {
    const char* call;
    std::string sent;
  } rows[] = {
      {"var v = LIST(); var i; for i = 2 to 20000 do v = LIST(v); DEBUG(v);",
       "DEBUG:" + std::string(20000, '[') + std::string(20000, ']') + "\n"},
      {"var v = LIST(); var i; for i = 1 to 40000 do v = LIST(v); DEBUG(v);",
       "DEBUG:" + std::string(40001, '[') + std::string(cut - 6 - 40001, ']') + "...\n"},
      {"var s = 'x'; var i; for i = 1 to 17 do s = s + s; DEBUG(s, s);",
       "DEBUG:" + std::string(cut - 6, 'x') + "...\n"},
      {"var s = 'x'; var i; for i = 1 to 16 do s = s + s; DEBUG(LIST(s, 1));",
       "DEBUG:[" + std::string(cut - 7, 'x') + "...\n"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.call);
    fake_context context;
    EXPECT_EQ(context.eval(r.call), "i:0");
    EXPECT_EQ(context.sink.text.size(), r.sent.size());
    EXPECT_TRUE(context.sink.text == r.sent);
  }
}

}  // namespace
}  // namespace quillet::test
