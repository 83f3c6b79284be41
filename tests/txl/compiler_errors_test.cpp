// Compile errors: code, line, byte offset, name and message of each failure, and texts that
// must compile. Offsets count bytes from the start of the text.
#include <gtest/gtest.h>

#include <string>

#include "platform/crt/char_class.h"
#include "txl/compiler.h"

namespace quillet {
namespace {

using namespace std::literals;

struct error_row {
  std::string_view source;
  int code;
  int line;
  int offset;
  const char* name;
  const char* message;
};

const error_row error_rows[] = {
    {"", 3, 1, 0, "", "Line 1: syntax error"},
    {"   ", 3, 1, 3, "", "Line 1: syntax error"},
    {"var x; x = 1 +;", 3, 1, 14, "", "Line 1: syntax error"},
    {"var x; x = 1 2;", 4, 1, 13, "", "Line 1: ';' expected"},
    {"var x;\nx = 1 2;", 4, 2, 13, "", "Line 2: ';' expected"},
    {"var x; x = 1", 4, 1, 12, "", "Line 1: ';' expected"},
    {"return 5", 4, 1, 8, "", "Line 1: ';' expected"},
    {"var x = 1; x + 1", 4, 1, 16, "", "Line 1: ';' expected"},
    {"1 2", 3, 1, 2, "", "Line 1: syntax error"},
    {"return;", 5, 1, 6, "", "Line 1: expression expected"},
    {"return )", 5, 1, 7, "", "Line 1: expression expected"},
    {"if 1 2", 6, 1, 5, "", "Line 1: 'THEN' expected"},
    {"if 1 then 2 else", 6, 1, 16, "", "Line 1: 'THEN' expected"},
    {"while 1 x", 7, 1, 8, "", "Line 1: 'DO' expected"},
    {"var i; for i = 1 to 2 x;", 7, 1, 22, "", "Line 1: 'DO' expected"},
    {"var i; for i = 1 do x;", 8, 1, 17, "", "Line 1: 'TO' expected"},
    {"for 3", 9, 1, 4, "", "Line 1: variable name expected"},
    {"for\n\n;", 9, 3, 5, "", "Line 3: variable name expected"},
    {"var a; var a;", 10, 1, 12, "a", "Line 1: variable 'a' has been already defined"},
    {"var a; var a /* c */ = 1;", 10, 1, 21, "a", "Line 1: variable 'a' has been already defined"},
    {"(var b; var b;);", 10, 1, 13, "b", "Line 1: variable 'b' has been already defined"},
    {"y + 1", 11, 1, 0, "y", "Line 1: undefined variable 'y'"},
    {"1 +\n  yy", 11, 2, 6, "yy", "Line 2: undefined variable 'yy'"},
    {"var x; x = 1 + y;", 11, 1, 15, "y", "Line 1: undefined variable 'y'"},
    {"for i = 1 to 2 do x;", 11, 1, 4, "i", "Line 1: undefined variable 'i'"},
    {"v[0] = 1;", 11, 1, 0, "v", "Line 1: undefined variable 'v'"},
    {"(var a = 1;); a", 11, 1, 14, "a", "Line 1: undefined variable 'a'"},
    {"x", 11, 1, 0, "x", "Line 1: undefined variable 'x'"},
    {"break;", 12, 1, 0, "", "Line 1: loop context is required"},
    {"1; continue;", 12, 1, 3, "", "Line 1: loop context is required"},
    {"while 1 do 1; break;", 12, 1, 14, "", "Line 1: loop context is required"},
    {"1e+5", 1, 1, 0, "", "Line 1: syntax error"},
    {"1 + 1.2.3", 1, 1, 4, "", "Line 1: syntax error"},
    {"12abc", 1, 1, 0, "", "Line 1: syntax error"},
    {"1e", 1, 1, 0, "", "Line 1: syntax error"},
    {"1.5.", 1, 1, 0, "", "Line 1: syntax error"},
    {"\n0x", 1, 2, 1, "", "Line 2: syntax error"},
    {"0xFG", 1, 1, 0, "", "Line 1: syntax error"},
    {"return 1.2.3;", 1, 1, 7, "", "Line 1: syntax error"},
    {"'a\tb'", 2, 1, 0, "", "Line 1: invalid string literal"},
    {"1 + 'abc", 2, 1, 4, "", "Line 1: invalid string literal"},
    {"'abc\\", 2, 1, 0, "", "Line 1: invalid string literal"},
    {"\"a\nb\"", 2, 1, 0, "", "Line 1: invalid string literal"},
    {"'a\\\nb'", 2, 1, 0, "", "Line 1: invalid string literal"},
    {"var a; var b; a && b", 3, 1, 17, "", "Line 1: syntax error"},
    {"var a; var b; a || b", 3, 1, 17, "", "Line 1: syntax error"},
    {"1 + if 1 then 2 else 3", 3, 1, 4, "", "Line 1: syntax error"},
    {"1 < 2 < 3", 3, 1, 6, "", "Line 1: syntax error"},
    {"1 == 2 != 3", 3, 1, 7, "", "Line 1: syntax error"},
    {"1 << 2 >> 3", 3, 1, 7, "", "Line 1: syntax error"},
    {"LIST(1,2)[0]", 3, 1, 9, "", "Line 1: syntax error"},
    {"var x; (x)[0];", 4, 1, 10, "", "Line 1: ';' expected"},
    {"var x; x[1][2];", 4, 1, 11, "", "Line 1: ';' expected"},
    {"var x; var y; x = y = 1;", 4, 1, 20, "", "Line 1: ';' expected"},
    {"- -1", 3, 1, 2, "", "Line 1: syntax error"},
    {"not not 1", 3, 1, 4, "", "Line 1: syntax error"},
    {"1 ! 2", 3, 1, 2, "", "Line 1: syntax error"},
    {"#", 3, 1, 0, "", "Line 1: syntax error"},
    {"1 + $", 3, 1, 4, "", "Line 1: syntax error"},
    {"{1}", 3, 1, 0, "", "Line 1: syntax error"},
    {"1 . 2", 3, 1, 2, "", "Line 1: syntax error"},
    {"\xa4", 3, 1, 0, "", "Line 1: syntax error"},
    {"1 + \x80", 3, 1, 4, "", "Line 1: syntax error"},
    {"1\f", 3, 1, 1, "", "Line 1: syntax error"},
    {"(1", 3, 1, 2, "", "Line 1: syntax error"},
    {"F(1,)", 3, 1, 4, "", "Line 1: syntax error"},
    {"@", 3, 1, 1, "", "Line 1: syntax error"},
    {"@1", 3, 1, 1, "", "Line 1: syntax error"},
    {"1 +\n\n", 3, 3, 5, "", "Line 3: syntax error"},
    {"/* a\nb */ 1 +", 3, 2, 13, "", "Line 2: syntax error"},
    {"1 + // x\n", 3, 2, 9, "", "Line 2: syntax error"},
    {"1 + /* never closed", 3, 1, 19, "", "Line 1: syntax error"},
    {"to", 3, 1, 0, "", "Line 1: syntax error"},
    {"var 1;", 3, 1, 4, "", "Line 1: syntax error"},
    {"var if;", 3, 1, 4, "", "Line 1: syntax error"},
    // The first error stays: later errors while the parser recovers do not replace it.
    {"var x = ; 1.2.3;", 3, 1, 8, "", "Line 1: syntax error"},
    {"var x = ; y;", 3, 1, 8, "", "Line 1: syntax error"},
    {"var x = ; 1; return;", 3, 1, 8, "", "Line 1: syntax error"},
    {"var x = 1.2.3;", 1, 1, 8, "", "Line 1: syntax error"},
    {"y 1.2.3", 1, 1, 2, "", "Line 1: syntax error"},
    // A zero byte ends the text.
    {"1 +\0 2"sv, 3, 1, 3, "", "Line 1: syntax error"},
};

TEST(CompileErrors, CodeLineOffsetNameAndMessage) {
  for (const error_row& row : error_rows) {
    std::string source(row.source);
    SCOPED_TRACE(source);
    crt::set_codepage(crt::codepage::cp1252);
    txl_compiler c;
    ASSERT_EQ(c.compile(source), -1);
    EXPECT_EQ(c.error().code, row.code);
    EXPECT_EQ(c.error().line, row.line);
    EXPECT_EQ(c.error().offset, row.offset);
    EXPECT_EQ(c.error().name, row.name);
    EXPECT_EQ(txl_compile_message(c.error()), row.message);
    EXPECT_EQ(c.root(), nullptr);
  }
}

const char* const valid_rows[] = {
    "1 + 2",
    "var x = 1; x + 1;",
    "(var t = 2; t * t;)",
    "var a; var x; if a then x = 1 else x = 2;",
    "if 1 then 1 else if 0 then 2 else 3",
    "1 + (if 1 then 2 else 3)",
    "var x; x = if 1 then 2;",
    "F(if 1 then 2 else 3, 4)",
    ";",
    "1; ;",
    "1;;",
    ";;;",
    "var x; x = 1;",
    "return 5;",
    "@f(1,2)[0]",
    "@f[0]",
    "@'my func'(1)",
    "@ f",
    "@f()",
    "var a; var b; a and b;",
    "var a; a[0x1F];",
    "var a; a[0x1F] = 2;",
    "'it\\'s'",
    "\"it's\"",
    "var a; (var a = 2; a;);",
    "var a; (a = 2;);",
    "while 1 do break;",
    "while 1 do continue;",
    "while 1 do (break;);",
    "while 1 do if 1 then break else continue;",
    "var i; for i = 1 to 2 do while 0 do break;",
    "var i; for i = 1 to 2 do (var i; i = 5;);",
    "var v; for v[0] = 1 to 2 do v;",
    "var ARGS;",
    "ARGS[0] + ARGS",
    "(var ARGS = 1; ARGS;)",
    "IF(1, 2, 3) + Then(1) + Else()",
    "_x9(1)",
    "1e5 + 1e-5 + .5 + 5. + 0x1F + 010",
    "1 /* comment */ + // line\n 2",
    "1 + /* a\n*/ 2 /* unclosed",
    "var x; -x[1] + -2 << 1;",
    "not 1 + ~2 - +3",
};

TEST(CompileErrors, ValidTextsCompile) {
  for (const char* source : valid_rows) {
    SCOPED_TRACE(source);
    txl_compiler c;
    EXPECT_EQ(c.compile(source), 0) << txl_compile_message(c.error());
    EXPECT_EQ(c.error().code, 0);
    EXPECT_NE(c.root(), nullptr);
  }
}

TEST(CompileErrors, MessagesForUnknownCodesUseTheSyntaxErrorText) {
  const struct {
    int code;
    const char* message;
  } rows[] = {
      {0, "Line 7: syntax error"},
      {13, "Line 7: syntax error"},
      {-1, "Line 7: syntax error"},
      {9, "Line 7: variable name expected"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(txl_compile_message({row.code, 7, 0, "n"}), row.message);
  }
}

TEST(CompileErrors, CompilerIsReusableAfterAFailure) {
  txl_compiler c;
  ASSERT_EQ(c.compile("var a; var a;"), -1);
  EXPECT_EQ(c.error().code, 10);
  ASSERT_EQ(c.compile("var a; a;"), 0);
  EXPECT_EQ(c.error().code, 0);
  EXPECT_EQ(c.error().name, "");
}

}  // namespace
}  // namespace quillet
