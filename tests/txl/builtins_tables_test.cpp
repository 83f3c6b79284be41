// The two built-in libraries: their rows in lookup order and exact, case-sensitive names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtins_support.h"
#include "txl/function_entry.h"

namespace quillet::test {
namespace {

std::vector<std::string> row_names(const txl_xfn_library_imp& lib) {
  std::vector<std::string> names;
  for (std::int32_t i = 0; i < lib.size(); ++i)
    names.emplace_back(lib.rows()[i].name);
  return names;
}

TEST(BuiltinsTables, GeneralRowsInOrder) {
  const std::vector<std::string> expected = {
      "SIZE",  "LIST",  "INT",    "NUM",    "STR",    "CHR",     "ISINT",   "ISNUM",  "ISSTR",  "ISVEC",
      "RANGE", "FIND",  "MASK",   "FLOOR",  "CEIL",   "PI",      "ABS",     "SQRT",   "POW",    "LOG",
      "LOG10", "EXP",   "SIN",    "COS",    "TAN",    "ACOS",    "ASIN",    "ATAN",   "SUM",    "SUM2",
      "AVG",   "DISP",  "STDEV",  "STDEVN", "MAX",    "MIN",     "MAX_T",   "MIN_T",  "INSERT", "REMOVE",
      "EXTRACT", "STRCMP", "STRFIND", "MKTIME", "RTIME", "DTIME", "TIMESTR", "FORMAT",
  };
  EXPECT_EQ(row_names(txl_general_library()), expected);
}

TEST(BuiltinsTables, ConditionRowsInOrder) {
  const std::vector<std::string> expected = {"IF", "AND", "OR", "XOR", "INV", "SHL", "SHR"};
  EXPECT_EQ(row_names(txl_condition_library()), expected);
}

TEST(BuiltinsTables, EveryRowIsCallableAndNeverStale) {
  for (txl_xfn_library_imp* lib : {&txl_general_library(), &txl_condition_library()}) {
    for (std::int32_t i = 0; i < lib->size(); ++i) {
      const txl_function_row& row = lib->rows()[i];
      SCOPED_TRACE(row.name);
      ASSERT_NE(row.entry.call, nullptr);
      ASSERT_NE(row.entry.release, nullptr);
      ASSERT_NE(row.entry.is_current, nullptr);
      EXPECT_TRUE(row.entry.is_current(nullptr, 12345));
    }
  }
}

// Names match exactly: case matters and no prefix or extension matches.
TEST(BuiltinsTables, NamesMatchExactly) {
  struct row {
    const char* name;
    bool known;
  };
  const row rows[] = {
      {"ABS", true},   {"abs", false}, {"Abs", false}, {"AB", false},  {"ABSX", false},
      {"LOG10", true}, {"LOG1", false}, {"IF", true},  {"if", false},  {"", false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(call_builtin(r.name, {iv(1)}) != "(unknown)", r.known);
  }
}

}  // namespace
}  // namespace quillet::test
