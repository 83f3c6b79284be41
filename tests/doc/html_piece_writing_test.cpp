// The writer's small-piece copy and its choice of quotes for attribute values, at every
// length and position the fast paths treat differently.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "doc/html_attr_print.h"
#include "doc/html_end_tag.h"
#include "doc/html_node.h"
#include "doc/html_printer.h"

namespace quillet::test {
namespace {

// Every length from nothing to past the largest inline copy: exactly n bytes land, in order,
// and the byte after them is untouched.
TEST(HtmlPieceWriting, SmallCopiesMoveExactlyTheirBytes) {
  for (std::size_t n = 0; n <= 70; ++n) {
    SCOPED_TRACE(n);
    std::string from(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
      from[i] = static_cast<char>('A' + i % 26);
    std::string to(n + 1, '#');
    char* end = copy_bytes(to.data(), from.data(), n);
    EXPECT_EQ(end, to.data() + n);
    EXPECT_EQ(to.substr(0, n), from);
    EXPECT_EQ(to[n], '#');
  }
}

std::string attribute_text(std::string_view name, std::optional<std::string_view> value) {
  std::ostringstream out;
  {
    html_obj_printer p(out, 0);
    print_attribute_view(p, {name, value});
  }
  return out.str();
}

// One byte of a kind placed at each position of a value of bare letters: the quotes the
// value gets must not depend on where the byte sits.
TEST(HtmlPieceWriting, QuotesFollowTheBytesAtAnyPosition) {
  struct row {
    char byte;
    char open;   // the quote around the value; 0 for a bare value
    const char* written;  // how the byte appears inside the value
  };
  const row rows[] = {
      {'x', 0, "x"},      {'7', 0, "7"},      {'.', 0, "."},    {'-', 0, "-"},
      {' ', '"', " "},    {':', '"', ":"},    {'<', '"', "<"},  {'=', '"', "="},
      {'"', '\'', "\""},  {'\'', '"', "'"},   {'\x01', '"', "\x01"},
  };
  for (const row& r : rows) {
    for (std::size_t length = 1; length <= 19; ++length) {
      for (std::size_t at = 0; at < length; ++at) {
        SCOPED_TRACE(std::string("byte ") + r.byte + " length " + std::to_string(length) + " at " +
                     std::to_string(at));
        std::string value(length, 'a');
        value[at] = r.byte;
        std::string inside = value.substr(0, at) + r.written + value.substr(at + 1);
        std::string expected = r.open ? " N=" + std::string(1, r.open) + inside + r.open : " N=" + inside;
        EXPECT_EQ(attribute_text("N", value), expected);
      }
    }
  }
}

// One printer writing value after value of the same length that differ in one byte: what it
// remembers of the last value must never decide the quotes of another. Each attribute must
// come out as a printer of its own writes it.
TEST(HtmlPieceWriting, RepeatedValuesOnOnePrinter) {
  std::string expected;
  std::ostringstream out;
  {
    html_obj_printer p(out, 0);
    for (std::size_t length : {15u, 16u, 17u, 31u, 33u, 64u, 65u}) {
      for (std::size_t at = 0; at < length; at += 3) {
        for (char byte : {'a', '"', ' ', '\'', 'a'}) {
          std::string value(length, 'a');
          value[at] = byte;
          print_attribute_view(p, {"N", value});
          print_attribute_view(p, {"N", value});
          expected += attribute_text("N", value) + attribute_text("N", value);
        }
      }
    }
  }
  EXPECT_EQ(out.str(), expected);
}

TEST(HtmlPieceWriting, SpecialValues) {
  struct row {
    const char* name;
    std::optional<std::string_view> value;
    const char* expected;
  };
  const row rows[] = {
      {"A", std::nullopt, " A"},
      {"A", "", " A=\"\""},
      {"A", "both \" and '", " A=\"both &quot; and '\""},
      {"A", "'\"'", " A=\"'&quot;'\""},
      {"STYLE", "background-color: white", " STYLE=\"background-color: white\""},
      {"A", "x\"y", " A='x\"y'"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.expected);
    EXPECT_EQ(attribute_text(r.name, r.value), r.expected);
  }
}

// The end tag assembled in reserved room gives the bytes print_end_tag writes, for every
// combination of the tag's end flags and the printer's normalizing, on a tag that may be
// closed and on an EMPTY one.
TEST(HtmlPieceWriting, EndTagInRoomMatchesPrintEndTag) {
  for (const char* name : {"TD", "BR"}) {
    for (std::uint32_t flags = 0; flags < 16; ++flags) {
      for (std::uint32_t printer_flags : {0u, html_obj_printer::NORMALIZE_END_TAGS}) {
        SCOPED_TRACE(std::string(name) + " " + std::to_string(flags) + " " + std::to_string(printer_flags));
        auto tag = make_rc<html_elt_tag>(find_tag_def(name));
        tag->flags = flags;
        std::ostringstream printed;
        {
          html_obj_printer p(printed, printer_flags);
          tag->print_end_tag(p);
        }
        std::string room(end_tag_room(*tag), '#');
        char* end = put_end_tag_at(*tag, printer_flags, room.data());
        EXPECT_EQ(std::string(room.data(), end), printed.str());
      }
    }
  }
}

// Extras on a tag without attributes of its own: written as they come unless a name repeats.
TEST(HtmlPieceWriting, ExtrasOnATagWithoutAttributes) {
  struct row {
    std::vector<html_attr_view> extras;
    const char* expected;
  };
  const row rows[] = {
      {{{"A", "1"}, {"B", "x y"}}, " A=1 B=\"x y\""},
      {{{"A", "1"}, {"B", std::nullopt}}, " A=1"},
      {{{"A", "1"}, {"A", "2"}}, " A=2"},
      {{{"A", "1"}, {"A", std::nullopt}}, ""},
      {{{"A", std::nullopt}, {"A", "2"}}, " A=2"},
      {{{"A", "1"}, {"a", "2"}}, " A=1 a=2"},
      {{}, ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.expected);
    std::ostringstream out;
    {
      html_obj_printer p(out, 0);
      print_attributes_with(p, nullptr, r.extras);
    }
    EXPECT_EQ(out.str(), r.expected);
  }
}

}  // namespace
}  // namespace quillet::test
