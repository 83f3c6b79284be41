// The tokenizer: fixed token codes, keywords, comments, literal values and their limits.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/crt/char_class.h"
#include "txl/lexer.h"

namespace quillet {
namespace {

using namespace std::literals;

std::vector<int> codes_of(std::string_view text) {
  txl_lexer lexer(text);
  std::vector<int> codes;
  for (int guard = 0; guard < 1000; ++guard) {
    txl_token t = lexer.next();
    if (t.code == 0)
      break;
    codes.push_back(t.code);
  }
  return codes;
}

TEST(CompilerTokens, CodesAreFixed) {
  const struct {
    std::string_view source;
    std::vector<int> codes;
  } rows[] = {
      {"name 12 1.5 'text'", {258, 259, 260, 261}},
      {"and or == != < <= > >= = not ~ << >>", {262, 263, 264, 265, 266, 267, 268, 269, 270, 271, 272, 273, 274}},
      {"if then else return while do for to", {275, 276, 277, 278, 279, 280, 281, 282}},
      {"break continue var", {284, 285, 286}},
      {"; + - * / % & | ^ ( ) [ ] @ ,", {';', '+', '-', '*', '/', '%', '&', '|', '^', '(', ')', '[', ']', '@', ','}},
      {"! . # $ { } && ||", {'!', '.', '#', '$', '{', '}', '&', '&', '|', '|'}},
      {"a<=b<<c>>=d", {258, 267, 258, 273, 258, 274, 270, 258}},
      {"x===y", {258, 264, 270, 258}},
      {"\x80\xa4", {0x80, 0xa4}},
      {"IF Then ELSE iff var_ _x9 do2", {258, 258, 258, 258, 258, 258, 258}},
      {"1 /* 2 \n 3 */ 4 // 5\n6", {259, 259, 259}},
      {"1 /* never closed", {259}},
      {"1 / 2", {259, '/', 259}},
      {"\t\r\n 7 \n", {259}},
      {"1\0 2"sv, {259}},
      {"\0"sv, {}},
      {"'a\\'b' \"c\\\"d\"", {261, 261}},
      {"1e5 1E-5 .5 5. 0x1F 0XaB 010", {260, 260, 260, 260, 259, 259, 259}},
      {"1e+5", {257, '+', 259}},
      {"12abc 3", {257, 259}},
      {"'open", {257}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.source));
    crt::set_codepage(crt::codepage::cp1252);
    EXPECT_EQ(codes_of(row.source), row.codes);
  }
}

TEST(CompilerTokens, PositionsAndErrors) {
  const struct {
    const char* source;
    int start, end, error;
  } rows[] = {
      {"  abc ", 2, 5, 0},
      {"  0x1F+", 2, 6, 0},
      {" 1.2.3 + 1", 1, 6, 1},
      {" 0x", 1, 3, 1},
      {" 0x1g", 1, 5, 1},
      {" 1e-", 1, 3, 1},
      {" 1.e5", 1, 5, 0},
      {" 'ab\tc' + 1", 1, 7, 2},
      {" 'ab", 1, 4, 2},
      {" 'ab\\", 1, 5, 2},
      {" /* x */ \"q\"", 9, 12, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.source);
    txl_lexer lexer(row.source);
    txl_token t = lexer.next();
    EXPECT_EQ(t.start, row.start);
    EXPECT_EQ(t.end, row.end);
    EXPECT_EQ(t.error, row.error);
  }
}

TEST(CompilerTokens, IntegerLiterals) {
  const struct {
    const char* source;
    std::int32_t value;
  } rows[] = {
      {"0", 0},           {"7", 7},          {"0x1F", 31},       {"0X1f", 31},
      {"010", 8},         {"09", 0},         {"019", 1},         {"2147483647", 2147483647},
      {"2147483648", -2147483647 - 1},       {"4294967295", -1}, {"4294967296", -1},
      {"99999999999999999999999", -1},       {"0xFFFFFFFF", -1}, {"0x100000000", -1},
      {"0x7fffffff", 2147483647},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.source);
    txl_token t = txl_lexer(row.source).next();
    ASSERT_EQ(t.code, tok_integer);
    ASSERT_EQ(t.value.type(), type_int);
    EXPECT_EQ(static_cast<const anyval_imp_int*>(t.value.get())->value, row.value);
  }
}

TEST(CompilerTokens, FloatLiterals) {
  const struct {
    const char* source;
    double value;
  } rows[] = {
      {"1e5", 1e5}, {"1e-5", 1e-5}, {".5", 0.5}, {"5.", 5.0}, {"1.25", 1.25},
      {"0.1", 0.1}, {"00.5", 0.5}, {"1E3", 1000.0}, {"1e400", HUGE_VAL}, {"1e-400", 0.0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.source);
    txl_token t = txl_lexer(row.source).next();
    ASSERT_EQ(t.code, tok_float);
    ASSERT_EQ(t.value.type(), type_float);
    EXPECT_EQ(static_cast<const anyval_imp_float*>(t.value.get())->value, row.value);
  }
}

TEST(CompilerTokens, StringLiterals) {
  const struct {
    const char* source;
    std::string_view value;
  } rows[] = {
      {"'a\\tb'", "a\tb"},
      {"'it\\'s'", "it's"},
      {"\"say \\\"hi\\\"\"", "say \"hi\""},
      {"\"it's\"", "it's"},
      {"'\\n\\r\\\\\\x\\''", "\n\r\\x'"},
      {"''", ""},
      {"'\\u0041\\u00e9'", "A\xe9"},
      {"'\\u20AC'", "\x80"},
      {"'\\u4e2d'", ""},
      {"'\\uD800'", ""},
      {"'\\uzz41'", "A"},
      {"'\\u0000x'", "\0x"sv},
      {"'\\u41'", ""},
      {"'\xe9\xff'", "\xe9\xff"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.source);
    crt::set_codepage(crt::codepage::cp1252);
    txl_token t = txl_lexer(row.source).next();
    ASSERT_EQ(t.code, tok_string);
    ASSERT_NE(t.value.as_string(), nullptr);
    EXPECT_EQ(*t.value.as_string(), row.value);
  }
}

TEST(CompilerTokens, UnicodeEscapesFollowTheCodePage) {
  crt::set_codepage(crt::codepage::cp1251);
  EXPECT_EQ(*txl_lexer("'\\u0416'").next().value.as_string(), "\xc6");
  crt::set_codepage(crt::codepage::gbk);
  EXPECT_EQ(*txl_lexer("'\\u4e2d'").next().value.as_string(), "\xd6\xd0");
  crt::set_codepage(crt::codepage::cp1252);
}

TEST(CompilerTokens, KeywordsAreWholeLowerCaseWords) {
  const struct {
    const char* word;
    int code;
  } rows[] = {
      {"and", tok_and}, {"break", tok_break}, {"continue", tok_continue}, {"do", tok_do},
      {"else", tok_else}, {"for", tok_for}, {"if", tok_if}, {"not", tok_not}, {"or", tok_or},
      {"return", tok_return}, {"then", tok_then}, {"to", tok_to}, {"var", tok_var},
      {"while", tok_while}, {"And", tok_identifier}, {"WHILE", tok_identifier},
      {"do_", tok_identifier}, {"tox", tok_identifier}, {"d", tok_identifier},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.word);
    EXPECT_EQ(txl_keyword_code(row.word), row.code);
    txl_token t = txl_lexer(row.word).next();
    EXPECT_EQ(t.code, row.code);
    EXPECT_EQ(t.value.empty(), row.code != tok_identifier);
  }
}

}  // namespace
}  // namespace quillet
