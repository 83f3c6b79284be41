// Built-ins reached from expression text: compiled, bound through the libraries and
// evaluated as a template property is, markers included.
#include <gtest/gtest.h>

#include "eval_support.h"

namespace quillet::test {
namespace {

TEST(BuiltinsSource, CallsFromExpressions) {
  run_eval_cases({
      {"IF(1, \"=\", 1.0, \"a\", \"b\")", "s:a"},
      {"IF(\"10\", \"<\", \"9\", 1, 2)", "i:1"},
      {"IF(1, \"=>\", 2, \"a\", \"b\")", "s:b"},
      {"IF(1, \"\", 1, \"a\", \"b\")", "#IF():COND#"},
      {"IF(1, -1, 3, \"a\", \"b\")", "#IF():COND#"},
      {"RANGE(25, LIST(0, 10), 20)", "i:3"},
      {"FIND(\"b\", \"a\", \"B\", \"b\")", "i:2"},
      {"SHR(-8, 1)", "i:-4"},
      {"SHL(1, 33)", "i:2"},
      {"MASK(240, 4, 4)", "i:15"},
      {"AND(1)", "#BITW():ARGS#"},
      {"INV()", "#INV():ARGS#"},
      {"INSERT(LIST(1, 2), LIST(3, 4), 0)", "v(i:3,i:4,i:1,i:2)"},
      {"INSERT(5, 1)", "#INSERT:ARGS#"},
      {"REMOVE(\"abcdef\", 1, 2)", "s:adef"},
      {"EXTRACT(\"abcdef\", 2, 2)", "s:cd"},
      {"SIZE(5)", "#SIZE#"},
      {"CHR(321)", "s:A"},
      {"CHR()", "#CHR:ARGS#"},
      {"STRCMP(1, \"1\")", "#STRCMP:ARG#"},
      {"STRFIND(\"abcabc\", \"ca\")", "i:2"},
      {"FLOOR(LIST(1, 2, 3))", "i:3"},
      {"ABS(-5.5)", "f:5.5"},
      {"ATAN(1, -1)", "f:2.35619449"},
      {"SIN(1, 2, 3)", "#MATH():ARGS#"},
      {"STDEV(1, 2, 3)", "f:1"},
      {"MAX_T(3, 7, 7)", "f:0"},
      {"abs(1)", "#UNK:abs:#"},
  });
}

}  // namespace
}  // namespace quillet::test
