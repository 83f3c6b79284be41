// Vectors and strings: LIST, SIZE, INSERT, REMOVE, EXTRACT, STRCMP, STRFIND.
#include <gtest/gtest.h>

#include "builtins_support.h"
#include "txl/value_limits.h"

namespace quillet::test {
namespace {

using namespace std::string_view_literals;

TEST(BuiltinsLists, ListAndSize) {
  run_cases({
      {"LIST", {}, "v()"},
      {"LIST", {iv(1), sv("a"), none(), fv(2.5)}, "v(i:1,s:a,-,f:2.5)"},
      {"LIST", {vec({iv(1)})}, "v(v(i:1))"},
      {"SIZE", {vec({iv(1), none(), iv(3)})}, "i:3"},
      {"SIZE", {sv("")}, "i:0"},
      {"SIZE", {sv("a\0b"sv)}, "i:3"},
      {"SIZE", {iv(5)}, "#SIZE#"},
      {"SIZE", {none()}, "#SIZE#"},
      {"SIZE", {}, "#SIZE#"},
      {"SIZE", {sv("a"), sv("b")}, "#SIZE#"},
  });
}

TEST(BuiltinsLists, Insert) {
  run_cases({
      {"INSERT", {sv("abc"), sv("X"), iv(1)}, "s:aXbc"},
      {"INSERT", {sv("abc"), sv("XY"), iv(0)}, "s:XYabc"},
      {"INSERT", {sv("abc"), sv("X")}, "s:abcX"},
      {"INSERT", {sv("abc"), sv("X"), iv(3)}, "s:abcX"},
      {"INSERT", {sv("abc"), sv("X"), iv(4)}, "s:abcX"},
      {"INSERT", {sv("abc"), sv("X"), iv(-2)}, "s:abcX"},
      {"INSERT", {sv("abc"), sv("X"), sv("1x")}, "s:abcX"},
      {"INSERT", {sv("abc"), iv(33)}, "s:abc!"},
      {"INSERT", {sv("abc"), iv(0x141), iv(0)}, "s:Aabc"},
      {"INSERT", {sv("abc"), iv(0)}, "s:abc"},
      {"INSERT", {sv("abc"), iv(256)}, "s:abc\0"sv},
      {"INSERT", {sv("abc"), sv("x7")}, "s:abcx7"},
      {"INSERT", {sv("abc"), fv(66.5), iv(1)}, "s:aBbc"},
      {"INSERT", {sv("abc"), sv("zz")}, "s:abczz"},
      {"INSERT", {sv(""), sv("")}, "s:"},
      {"INSERT", {vec({iv(1), iv(2)}), vec({iv(3), iv(4)}), iv(0)}, "v(i:3,i:4,i:1,i:2)"},
      {"INSERT", {vec({iv(1), iv(2)}), iv(9), iv(1)}, "v(i:1,i:9,i:2)"},
      {"INSERT", {vec({iv(1), iv(2)}), iv(9)}, "v(i:1,i:2,i:9)"},
      {"INSERT", {vec({iv(1), iv(2)}), iv(9), iv(7)}, "v(i:1,i:2,i:9)"},
      {"INSERT", {vec({}), sv("a")}, "v(s:a)"},
      {"INSERT", {vec({iv(1)}), vec({})}, "v(i:1)"},
      {"INSERT", {vec({iv(1)}), vec({none()})}, "v(i:1,-)"},
      {"INSERT", {iv(5), iv(1)}, "#INSERT:ARGS#"},
      {"INSERT", {none(), iv(1)}, "#INSERT:ARGS#"},
      {"INSERT", {sv("abc"), none()}, "#INSERT:ARGS#"},
      {"INSERT", {vec({}), none()}, "#INSERT:ARGS#"},
      {"INSERT", {sv("abc")}, "#INSERT#"},
      {"INSERT", {sv("abc"), sv("x"), iv(0), iv(0)}, "#INSERT#"},
  });
}

TEST(BuiltinsLists, RemoveAndExtract) {
  run_cases({
      {"REMOVE", {sv("abcdef"), iv(1), iv(2)}, "s:adef"},
      {"REMOVE", {sv("abcdef"), iv(1)}, "s:acdef"},
      {"REMOVE", {sv("abc"), iv(5)}, "s:abc"},
      {"REMOVE", {sv("abc"), iv(1), iv(-1)}, "s:a"},
      {"REMOVE", {sv("abc"), iv(-4), iv(1)}, "s:bc"},
      {"REMOVE", {sv("abc"), iv(1), iv(0)}, "s:abc"},
      {"REMOVE", {sv("abc"), iv(1), iv(0x7FFFFFFF)}, "s:a"},
      {"REMOVE", {sv("abc"), sv("x")}, "s:bc"},
      {"REMOVE", {sv("abc"), iv(1), sv("x")}, "s:ac"},
      {"REMOVE", {vec({iv(1), iv(2), iv(3)}), iv(0), iv(2)}, "v(i:3)"},
      {"REMOVE", {vec({iv(1), iv(2), iv(3)}), iv(2)}, "v(i:1,i:2)"},
      {"REMOVE", {vec({iv(1), iv(2), iv(3)}), iv(3)}, "v(i:1,i:2,i:3)"},
      {"REMOVE", {iv(5), iv(0)}, "#REMOVE:ARGS#"},
      {"REMOVE", {none(), iv(0)}, "#REMOVE:ARGS#"},
      {"REMOVE", {sv("abc")}, "#REMOVE#"},
      {"REMOVE", {sv("abc"), iv(0), iv(1), iv(1)}, "#REMOVE#"},
      {"EXTRACT", {sv("abcdef"), iv(2)}, "s:cdef"},
      {"EXTRACT", {sv("abcdef"), iv(2), iv(2)}, "s:cd"},
      {"EXTRACT", {sv("abc"), iv(9)}, "s:"},
      {"EXTRACT", {sv("abc"), iv(-1), iv(2)}, "s:ab"},
      {"EXTRACT", {sv("abc"), iv(1), iv(-5)}, "s:bc"},
      {"EXTRACT", {sv("abc"), iv(1), iv(0x7FFFFFFF)}, "s:bc"},
      {"EXTRACT", {sv("abc"), iv(1), sv("x")}, "s:bc"},
      {"EXTRACT", {vec({iv(1), sv("b"), iv(3)}), iv(1), iv(1)}, "v(s:b)"},
      {"EXTRACT", {vec({iv(1), iv(2)}), iv(5)}, "v()"},
      {"EXTRACT", {fv(1.5), iv(0)}, "#EXTRACT#"},
      {"EXTRACT", {sv("abc")}, "#EXTRACT#"},
      {"EXTRACT", {sv("abc"), iv(0), iv(1), iv(1)}, "#EXTRACT#"},
  });
}

TEST(BuiltinsLists, Strings) {
  run_cases({
      {"STRCMP", {sv("a"), sv("b")}, "i:-1"},
      {"STRCMP", {sv("b"), sv("B")}, "i:1"},
      {"STRCMP", {sv("abc"), sv("abc")}, "i:0"},
      {"STRCMP", {sv("ab"), sv("abc")}, "i:-1"},
      {"STRCMP", {sv(""), sv("")}, "i:0"},
      {"STRCMP", {sv("\xE9"), sv("z")}, "i:1"},
      {"STRCMP", {sv("a\0b"sv), sv("a\0c"sv)}, "i:-1"},
      {"STRCMP", {iv(1), sv("1")}, "#STRCMP:ARG#"},
      {"STRCMP", {sv("1"), none()}, "#STRCMP:ARG#"},
      {"STRCMP", {sv("a")}, "#STRCMP#"},
      {"STRCMP", {sv("a"), sv("a"), sv("a")}, "#STRCMP#"},
      {"STRFIND", {sv("abcabc"), sv("ca")}, "i:2"},
      {"STRFIND", {sv("abc"), sv("")}, "i:0"},
      {"STRFIND", {sv(""), sv("")}, "i:0"},
      {"STRFIND", {sv("abc"), sv("abcd")}, "i:-1"},
      {"STRFIND", {sv("abc"), sv("C")}, "i:-1"},
      {"STRFIND", {sv("a\0bc"sv), sv("bc")}, "i:2"},
      {"STRFIND", {sv("abc"), iv(1)}, "#STRFIND:ARG#"},
      {"STRFIND", {vec({}), sv("a")}, "#STRFIND:ARG#"},
      {"STRFIND", {sv("abc")}, "#STRFIND#"},
  });
}

// INSERT, REMOVE and EXTRACT build new values: the target stays as it was, and the result is
// a different object even when nothing changes.
TEST(BuiltinsLists, TargetsUnchanged) {
  struct row {
    const char* name;
    anyval_list args;
  };
  const anyval text = sv("abc");
  const anyval list = vec({iv(1), iv(2)});
  const std::vector<row> rows = {
      {"INSERT", {text, sv("X"), iv(1)}}, {"INSERT", {list, iv(3), iv(0)}}, {"INSERT", {list, list}},
      {"REMOVE", {text, iv(5)}},          {"REMOVE", {list, iv(0)}},        {"EXTRACT", {text, iv(0)}},
      {"EXTRACT", {list, iv(0)}},
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(std::string(rows[i].name) + " row " + std::to_string(i));
    anyval result;
    call_builtin(rows[i].name, rows[i].args, result);
    EXPECT_FALSE(result == rows[i].args[0]);
    EXPECT_EQ(describe(text), "s:abc");
    EXPECT_EQ(describe(list), "v(i:1,i:2)");
  }
}

// Inserting a vector into itself doubles it; past the element limit INSERT fails instead of
// allocating.
TEST(BuiltinsLists, InsertStopsAtTheVectorLimit) {
  anyval big;
  big.make_vector(static_cast<int>(txl_max_vector_elements / 2 + 1));
  ASSERT_EQ(call_builtin("SIZE", {big}), "i:" + std::to_string(txl_max_vector_elements / 2 + 1));
  for (const anyval& position : {none(), iv(0)}) {
    const std::string outcome = call_builtin("INSERT", {big, big, position});
    EXPECT_TRUE(outcome == "#INSERT:ARGS#") << outcome.substr(0, 40);
  }
  anyval small;
  small.make_vector(3);
  anyval fits;
  call_builtin("INSERT", {small, small}, fits);
  EXPECT_EQ(describe(fits), "v(-,-,-,-,-,-)");
}

}  // namespace
}  // namespace quillet::test
