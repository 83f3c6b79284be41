// The editor's text helpers: user-function references, wrapping for embedding, and
// recognising a constant.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtins_support.h"
#include "txl/expr_text.h"

namespace quillet::test {
namespace {

struct text_case {
  std::string input;
  const char* expect;
};

TEST(EvalText, UserFunctionReferences) {
  const std::vector<text_case> cases = {
      {"f", "@f"},
      {"_x1", "@_x1"},
      {"IF", "@IF"},
      {"my func", "@\"my func\""},
      {"1abc", "@\"1abc\""},
      {"", "@\"\""},
      {"a\"b", "@\"a\\\"b\""},
      {"tab\there", "@\"tab\\there\""},
      {"if", "@\"if\""},
      {"while", "@\"while\""},
      {std::string("a\x01", 2), "@\"a\\u0001\""},
  };
  for (const text_case& c : cases) {
    SCOPED_TRACE(c.input);
    std::string out = "x + ";
    write_user_function_ref(c.input, out);
    EXPECT_EQ(out, std::string("x + ") + c.expect);
  }
}

TEST(EvalText, WrappingForEmbedding) {
  const std::vector<text_case> cases = {
      {"1 + 2", "1 + 2"},
      {"var x = 1; x;", "( var x = 1; x; )"},
      {"1;", "( 1; )"},
      {"@f(1)", "@f(1)"},
      {"if 1 then 2 else 3", "if 1 then 2 else 3"},
      {"1 +", "(refused)"},
      {"", "(refused)"},
  };
  for (const text_case& c : cases) {
    SCOPED_TRACE(c.input);
    std::string out = "(refused)";
    wrap_for_embedding(c.input, out);
    EXPECT_EQ(out, c.expect);
  }
}

TEST(EvalText, ConstantValues) {
  const std::vector<text_case> cases = {
      {"5", "i:5"},
      {"-5", "i:-5"},
      {"-2.5", "f:-2.5"},
      {"'abc'", "s:abc"},
      {"5;", "i:5"},
      {"(7)", "i:7"},
      {"0x1F", "i:31"},
      {"1 + 2", "(not constant)"},
      {"-'a'", "(not constant)"},
      {"5; 6;", "(not constant)"},
      {"FOO()", "(not constant)"},
      {"1 +", "(not constant)"},
  };
  for (const text_case& c : cases) {
    SCOPED_TRACE(c.input);
    anyval v;
    EXPECT_EQ(constant_value(c.input, v) ? describe(v) : std::string("(not constant)"), c.expect);
  }
}

}  // namespace
}  // namespace quillet::test
