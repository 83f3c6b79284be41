// Hostile input: deep nesting, long operator chains, huge texts, zero and high bytes, and
// random byte strings. Every text compiles or fails with an error code; nothing crashes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "txl/compiler.h"
#include "txl/user_function.h"

namespace quillet {
namespace {

std::string repeat(std::string_view piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i)
    out += piece;
  return out;
}

std::string nested(std::string_view open, std::string_view middle, std::string_view close, std::size_t depth) {
  return repeat(open, depth) + std::string(middle) + repeat(close, depth);
}

struct limit_row {
  const char* what;
  std::string source;
  int code;  // 0: compiles
};

TEST(CompilerLimits, DeepAndLongTexts) {
  const limit_row rows[] = {
      {"1,000 parentheses", nested("(", "1", ")", 1000), 0},
      {"100,000 parentheses", std::string(100000, '(') + "1" + std::string(100000, ')'), 3},
      {"100,000 unclosed parentheses", std::string(100000, '('), 3},
      {"1,000 nested sums", nested("1+(", "1", ")", 1000), 0},
      {"3,000 nested sums", nested("1+(", "1", ")", 3000), 3},
      {"3,000 nested negations", nested("-(", "1", ")", 3000), 0},
      {"3,900 nested indexes", "var a; " + nested("a[", "0", "]", 3900) + ";", 0},
      {"4,100 nested indexes", "var a; " + nested("a[", "0", "]", 4100) + ";", 3},
      {"2,000 nested calls", nested("F(", "", ")", 2000), 0},
      {"1,000 nested ifs", nested("if 1 then ", "2", "", 1000), 0},
      {"1,000 nested loops", nested("while 1 do ", "break", "", 1000) + ";", 0},
      {"3,500 chained sums", "1" + repeat("+1", 3500), 0},
      {"10 MB chained sums", "1" + repeat("+1", 5000000), 3},
      {"1 MB of empty statements", std::string(1000000, ';'), 0},
      {"10 MB in a comment", "1 /*" + std::string(10000000, 'x'), 0},
      {"1 MB string literal", "'" + std::string(1000000, 'x') + "'", 0},
      {"20,000 statements", repeat("1;", 20000), 0},
      {"20,000 arguments", "F(1" + repeat(",1", 20000) + ")", 0},
  };
  for (const limit_row& row : rows) {
    SCOPED_TRACE(row.what);
    auto fn = make_rc<txl_user_function>("f", "");
    txl_compiler c;
    int rc = c.compile(row.source, fn.get());
    EXPECT_EQ(c.error().code, row.code);
    EXPECT_EQ(rc, row.code == 0 ? 0 : -1);
    EXPECT_EQ(fn->body != nullptr, row.code == 0);
  }
}

// Random texts over bytes the grammar cares about plus arbitrary ones: the result is either
// success or one of the twelve codes placed inside the text.
TEST(CompilerLimits, RandomBytes) {
  static const char alphabet[] = "()[]+-*/%&|^<>=!~;,@'\"\\ \n\t.0123456789xeEabvrifthnwdo_ \x80\xff";
  std::mt19937 rng(20261207);
  for (int round = 0; round < 3000; ++round) {
    std::string text(rng() % 48, '\0');
    for (char& ch : text)
      ch = rng() % 8 == 0 ? static_cast<char>(rng() % 256) : alphabet[rng() % (sizeof alphabet - 1)];
    SCOPED_TRACE(text);
    auto fn = make_rc<txl_user_function>("f", "");
    txl_compiler c;
    int rc = c.compile(text, fn.get());
    const txl_compile_error& e = c.error();
    if (rc == 0) {
      EXPECT_EQ(e.code, 0);
      EXPECT_NE(fn->body, nullptr);
      continue;
    }
    EXPECT_EQ(rc, -1);
    EXPECT_GE(e.code, 1);
    EXPECT_LE(e.code, 12);
    EXPECT_GE(e.offset, 0);
    EXPECT_LE(e.offset, static_cast<int>(text.size()));
    EXPECT_GE(e.line, 1);
  }
}

TEST(CompilerLimits, TextArgumentsWithoutTerminator) {
  txl_compiler c;
  const char text[] = {'1', '+', '2'};
  EXPECT_EQ(c.compile(text, sizeof text, nullptr), 0);
  EXPECT_EQ(c.compile(text, 2, nullptr), -1);
  EXPECT_EQ(c.error().offset, 2);
  EXPECT_EQ(c.compile(nullptr, 0, nullptr), -1);
  EXPECT_EQ(c.error().code, 3);
}

}  // namespace
}  // namespace quillet
