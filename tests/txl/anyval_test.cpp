// Values: conversions of every kind, text forms, literals with every flag and escape,
// comparison, truth, sharing, and freeing of deeply nested vectors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "txl/anyval.h"

namespace quillet {
namespace {

using namespace std::string_literals;

anyval i(std::int32_t v) { return anyval::from_int(v); }
anyval f(double v) { return anyval::from_float(v); }
anyval s(std::string_view v) { return anyval::from_string(v); }
anyval list(anyval_list e) { return anyval::from_vector(std::move(e)); }

std::string text_of(const anyval& v) {
  std::string out = "junk";
  EXPECT_TRUE(v.to_text(out));
  return out;
}

struct int_conv_row {
  const char* name;
  anyval value;
  bool ok;
  std::int32_t stored;
};

TEST(AnyvalConversion, ToInt) {
  const double inf = std::numeric_limits<double>::infinity();
  const int_conv_row rows[] = {
      {"int", i(-5), true, -5},
      {"float truncates up", f(-2.9), true, -2},
      {"float truncates down", f(2.9), true, 2},
      {"float too large", f(3e9), true, INT32_MIN},
      {"float infinity", f(inf), true, INT32_MIN},
      {"string 12", s("12"), true, 12},
      {"string 12 blanks", s("12  "), true, 12},
      {"string 12abc", s("12abc"), false, 12},
      {"string abc", s("abc"), false, 0},
      {"string empty", s(""), false, 0},
      {"string hex", s("0x10"), true, 16},
      {"string octal", s("010"), true, 8},
      {"string 08", s("08"), false, 0},
      {"string -1", s("-1"), true, -1},
      {"string 4294967295", s("4294967295"), true, -1},
      {"string 4294967296", s("4294967296"), true, -1},
      {"string 2147483648", s("2147483648"), true, INT32_MIN},
      {"string blank 7 tab", s(" 7\t"), true, 7},
      {"string 1.5", s("1.5"), false, 1},
      {"vector of 3", list({i(1), i(2), i(3)}), true, 3},
      {"empty vector", list({}), true, 0},
      {"no value", anyval(), false, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    std::int32_t out = 12345;
    EXPECT_EQ(r.value.to_int(out), r.ok);
    EXPECT_EQ(out, r.stored);
  }
}

struct double_conv_row {
  const char* name;
  anyval value;
  bool ok;
  double stored;
};

TEST(AnyvalConversion, ToDouble) {
  const double_conv_row rows[] = {
      {"int", i(-5), true, -5.0},
      {"float", f(0.25), true, 0.25},
      {"string 1.5e3 blank", s("1.5e3 "), true, 1500.0},
      {"string 1.5x", s("1.5x"), false, 1.5},
      {"string x", s("x"), false, 0.0},
      {"string inf", s("inf"), false, 0.0},
      {"string hex float", s("0x1p3"), false, 0.0},
      {"string leading blanks", s("  -2"), true, -2.0},
      {"vector of 2", list({i(1), anyval()}), true, 2.0},
      {"no value", anyval(), false, 0.0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    double out = 12345.0;
    EXPECT_EQ(r.value.to_double(out), r.ok);
    EXPECT_EQ(out, r.stored);
  }
}

TEST(AnyvalText, TextForms) {
  volatile double zero = 0.0;
  const struct {
    const char* name;
    anyval value;
    std::string expected;
  } rows[] = {
      {"int -5", i(-5), "-5"},
      {"int min", i(INT32_MIN), "-2147483648"},
      {"int max", i(INT32_MAX), "2147483647"},
      {"int 0", i(0), "0"},
      {"int 7", i(7), "7"},
      {"int 10", i(10), "10"},
      {"int 100", i(100), "100"},
      {"int -9999", i(-9999), "-9999"},
      {"int 10005", i(10005), "10005"},
      {"float 2.0", f(2.0), "2"},
      {"float 0.1", f(0.1), "0.1"},
      {"float 1234567", f(1234567.0), "1.23457e+006"},
      {"float 1e20", f(1e20), "1e+020"},
      {"float 1/0", f(1.0 / zero), "1.#INF"},
      {"float -1/0", f(-1.0 / zero), "-1.#INF"},
      {"float 0/0", f(zero / zero), "-1.#IND"},
      {"float quiet NaN", f(std::numeric_limits<double>::quiet_NaN()), "1.#QNAN"},
      {"string", s("a\0b"s), "a\0b"s},
      {"vector of 3", list({s("x"), s("y"), s("z")}), "3"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(text_of(r.value), r.expected);
  }
  std::string out = "junk";
  EXPECT_FALSE(anyval().to_text(out));
  EXPECT_EQ(out, "");
}

TEST(AnyvalKinds, TypeCodesAccessAndClear) {
  anyval vi = i(4), vf = f(1.5), vs = s("ab"), vv = list({i(1)});
  EXPECT_EQ(vi.type(), 1);
  EXPECT_EQ(vf.type(), 2);
  EXPECT_EQ(vs.type(), 3);
  EXPECT_EQ(vv.type(), 4);
  EXPECT_EQ(anyval().type(), 0);
  EXPECT_EQ(vi.as_string(), nullptr);
  EXPECT_EQ(vs.as_vector(), nullptr);
  ASSERT_NE(vs.as_string(), nullptr);
  EXPECT_EQ(*vs.as_string(), "ab");
  ASSERT_NE(vv.as_vector(), nullptr);
  for (anyval* v : {&vi, &vf, &vs, &vv})
    (*v)->clear();
  EXPECT_EQ(text_of(vi), "0");
  EXPECT_EQ(text_of(vf), "0");
  EXPECT_EQ(text_of(vs), "");
  EXPECT_EQ(text_of(vv), "0");
}

// Vectors of other classes derived from the plain one answer through the handle as well,
// and only the factories' own vectors are marked plain.
TEST(AnyvalKinds, DerivedVectorsAnswerThroughTheHandle) {
  struct tagged_vector : anyval_imp_vector {
    using anyval_imp_vector::anyval_imp_vector;
  };
  anyval derived(make_rc<tagged_vector>(anyval_list{i(7), s("x")}));
  anyval plain = list({i(7)});
  ASSERT_NE(derived.as_vector(), nullptr);
  EXPECT_EQ(derived.as_vector()->size(), 2u);
  EXPECT_EQ(text_of(derived.as_vector()->front()), "7");
  EXPECT_EQ(derived->plain_kind, 0);
  EXPECT_EQ(plain->plain_kind, type_vector);
  EXPECT_EQ(plain.as_vector(), &static_cast<anyval_imp_vector*>(plain.get())->elements);
  EXPECT_EQ(anyval().as_vector(), nullptr);
}

TEST(AnyvalHandle, SettersShareAndRelease) {
  anyval a;
  a.set_string("abc\0def", 7);
  EXPECT_EQ(*a.as_string(), "abc\0def"s);
  anyval b = a;
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->ref_count(), 2);
  b->mutable_string()->push_back('!');  // in place: every holder sees it
  EXPECT_EQ(a.as_string()->size(), 8u);
  b.set_int(3);
  EXPECT_EQ(a->ref_count(), 1);
  EXPECT_EQ(b.type(), type_int);
  b.release();
  EXPECT_TRUE(b.empty());
  a.set_float(2.5);
  EXPECT_EQ(a.type(), type_float);
  a.set_string(std::string_view("x"));
  EXPECT_EQ(a.type(), type_string);
}

TEST(AnyvalHandle, MakeVectorSizes) {
  const struct {
    int n;
    std::size_t size;
  } rows[] = {{3, 3}, {0, 0}, {-4, 0}, {1, 1}, {INT32_MAX, anyval_max_elements}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.n);
    anyval v;
    v.make_vector(r.n);
    ASSERT_EQ(v.type(), type_vector);
    EXPECT_EQ(v.as_vector()->size(), r.size);
    for (std::size_t k = 0; k < std::min<std::size_t>(r.size, 4); ++k)
      EXPECT_TRUE((*v.as_vector())[k].empty());
  }
}

struct literal_row {
  const char* name;
  anyval value;
  unsigned flags;
  bool ok;
  std::string expected;
};

TEST(AnyvalLiteral, FlagsAndKinds) {
  const double inf = std::numeric_limits<double>::infinity();
  const literal_row rows[] = {
      {"int default", i(-31), 0, true, "-31"},
      {"int unsigned", i(-1), 1, true, "4294967295"},
      {"int hex", i(31), 2, true, "0X1F"},
      {"int hex wins over unsigned", i(-1), 3, true, "0XFFFFFFFF"},
      {"int ignores float flags", i(7), 12, true, "7"},
      {"float default", f(2.5), 0, true, "2.5"},
      {"float fixed", f(2.5), 4, true, "2.500000"},
      {"float exponent", f(2.5), 8, true, "2.500000e+000"},
      {"float fixed wins", f(2.5), 12, true, "2.500000"},
      {"float ignores int flags", f(1e20), 3, true, "1e+020"},
      {"float infinity", f(inf), 0, true, "1.#INF"},
      {"string plain", s("abc"), 0, true, "\"abc\""},
      {"string empty", s(""), 0, true, "\"\""},
      {"list", list({i(1), f(2.5), s("a\"b")}), 0, true, "LIST(1,2.5,\"a\\\"b\")"},
      {"list flags reach elements", list({i(31), f(1.0)}), 2 | 8, true, "LIST(0X1F,1.000000e+000)"},
      {"empty list", list({}), 0, true, "LIST()"},
      {"nested list", list({list({i(1), list({})}), i(2)}), 0, true, "LIST(LIST(1,LIST()),2)"},
      {"empty element fails", list({i(1), anyval(), i(3)}), 0, false, "LIST(1,"},
      {"nested empty element", list({list({anyval()})}), 0, false, "LIST(LIST("},
      {"no value", anyval(), 0, false, ""},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    std::string out = ">";
    EXPECT_EQ(write_literal(r.value, r.flags, out), r.ok);
    EXPECT_EQ(out, ">" + r.expected);
  }
}

TEST(AnyvalLiteral, UnknownKindWritesNothing) {
  struct odd_value : anyval_imp {
    int type() const override { return 9; }
  };
  std::string out;
  EXPECT_FALSE(write_literal(anyval(make_rc<odd_value>()), 0, out));
  EXPECT_FALSE(write_literal(list({i(1), anyval(make_rc<odd_value>())}), 0, out));
  EXPECT_EQ(out, "LIST(1,");
}

TEST(AnyvalLiteral, Escapes) {
  const struct {
    std::string text;
    std::string expected;
  } rows[] = {
      {"\"", "\\\""},
      {"'", "\\'"},
      {"\\", "\\\\"},
      {"\t", "\\t"},
      {"\n", "\\n"},
      {"\r", "\\r"},
      {"\x01", "\\u0001"},
      {"\x1F", "\\u001F"},
      {"\x0B", "\\u000B"},
      {"\0"s, "\\u0000"},
      {" ", " "},
      {"\x7F", "\x7F"},
      {"\x80", "\x80"},
      {"\xE9\xFF", "\xE9\xFF"},
      {"a\"b'c\\d", "a\\\"b\\'c\\\\d"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.expected);
    std::string out;
    EXPECT_TRUE(write_literal(s(r.text), 0, out));
    EXPECT_EQ(out, "\"" + r.expected + "\"");
  }
}

TEST(AnyvalLiteral, VectorHoldingItselfFails) {
  anyval v = list({i(1), anyval()});
  (*v->mutable_vector())[1] = v;  // the cycle indexed assignment can make
  std::string out;
  EXPECT_FALSE(write_literal(v, 0, out));
  EXPECT_EQ(out, "LIST(1,");
  v->clear();  // break the cycle so the value can be freed
  // The same value twice side by side is no cycle.
  anyval shared = list({i(7)});
  out.clear();
  EXPECT_TRUE(write_literal(list({shared, shared}), 0, out));
  EXPECT_EQ(out, "LIST(LIST(7),LIST(7))");
}

// Forty levels of a vector holding the level below twice would spell out 2^40 leaves of
// 4 KiB each; the writer gives up at its output limit of 16 MiB instead.
TEST(AnyvalLiteral, SharedDoublingStopsAtTheLimit) {
  anyval v = s(std::string(4096, 'a'));
  for (int k = 0; k < 40; ++k)
    v = list({v, v});
  std::string out;
  EXPECT_FALSE(write_literal(v, 0, out));
  EXPECT_GT(out.size(), std::size_t{1} << 24);
  EXPECT_LT(out.size(), (std::size_t{1} << 24) + 4200);
}

TEST(AnyvalLiteral, DeepNestingNeedsNoDeepStack) {
  const int depth = 200000;
  anyval v = i(5);
  for (int k = 0; k < depth; ++k)
    v = list({v});
  std::string out;
  ASSERT_TRUE(write_literal(v, 0, out));
  EXPECT_EQ(out.size(), depth * 6u + 1u);
  EXPECT_EQ(out.substr(depth * 5 - 10, 12), "LIST(LIST(5)");
}

TEST(AnyvalCompare, Ordering) {
  using po = std::partial_ordering;
  volatile double zero = 0.0;
  const struct {
    const char* name;
    anyval a, b;
    po expected;
  } rows[] = {
      {"strings by bytes", s("10"), s("9"), po::less},
      {"string with number", s("10"), i(9), po::greater},
      {"number with string", i(9), s("10"), po::less},
      {"equal strings", s("abc"), s("abc"), po::equivalent},
      {"case sensitive", s("B"), s("a"), po::less},
      {"unsigned bytes", s("\xE9"), s("z"), po::greater},
      {"up to first NUL", s("ab\0x"s), s("ab\0y"s), po::equivalent},
      {"prefix is smaller", s("ab"), s("abc"), po::less},
      {"int and float", i(2), f(2.0), po::equivalent},
      {"float order", f(-0.5), f(0.25), po::less},
      {"failed conversion counts its prefix", s("3x"), i(2), po::greater},
      {"unconvertible string is 0", s("abc"), i(0), po::equivalent},
      {"vectors by count", list({i(9)}), list({i(1), i(1)}), po::less},
      {"vector with number", list({i(1), i(1)}), i(2), po::equivalent},
      {"no value is 0", anyval(), i(0), po::equivalent},
      {"NaN is unordered", f(zero / zero), i(0), po::unordered},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(compare_values(r.a, r.b), r.expected);
  }
}

TEST(AnyvalTruth, IsTrue) {
  const struct {
    const char* name;
    anyval value;
    bool expected;
  } rows[] = {
      {"int 0", i(0), false},       {"int -1", i(-1), true},
      {"float 0.9", f(0.9), false}, {"float -0.9", f(-0.9), false},
      {"float 1.0", f(1.0), true},  {"float -1.5", f(-1.5), true},
      {"string 1", s("1"), true},   {"string 0", s("0"), false},
      {"string yes", s("yes"), false}, {"string 1x", s("1x"), false},
      {"string 0x1", s("0x1"), true}, {"string empty", s(""), false},
      {"empty vector", list({}), false}, {"non-empty vector", list({anyval()}), true},
      {"no value", anyval(), false},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(is_true(r.value), r.expected);
  }
}

// A chain a million vectors deep frees in a loop, both when the last handle drops and when
// the outer vector is cleared; the live-object check of every test confirms nothing is left.
TEST(AnyvalVector, DeepChainFreesWithoutRecursion) {
  const int depth = 1000000;
  for (bool by_clear : {false, true}) {
    SCOPED_TRACE(by_clear ? "clear" : "release");
    auto before = rc_live_objects();
    anyval v = s("leaf");
    for (int k = 0; k < depth; ++k)
      v = list({v, i(k)});
    EXPECT_EQ(rc_live_objects(), before + 2 * depth + 1);
    if (by_clear)
      v->clear();
    v.release();
    EXPECT_EQ(rc_live_objects(), before);
  }
}

// Elements still held elsewhere survive the release of the vector that shared them.
TEST(AnyvalVector, SharedElementsSurvive) {
  anyval inner = list({s("kept")});
  anyval outer = list({inner, inner});
  outer.release();
  ASSERT_EQ(inner.as_vector()->size(), 1u);
  EXPECT_EQ(*(*inner.as_vector())[0].as_string(), "kept");
}

}  // namespace
}  // namespace quillet
