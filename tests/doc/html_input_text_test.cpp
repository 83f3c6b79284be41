// How a document's bytes come in and are kept: streams that can seek, streams over memory
// that cannot, streams that hand out a few bytes at a time or were partly read already; and
// the node text store, which keeps bytes up to a NUL with their length, short or long.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <streambuf>
#include <string>

#include "doc/html_text.h"
#include "html_test_util.h"

namespace quillet {
namespace {

// Bytes in memory behind a buffer that cannot seek; `piece` bytes are visible at a time
// (0: all of them at once).
class memory_pieces : public std::streambuf {
public:
  memory_pieces(const std::string& bytes, std::size_t piece) : bytes_(bytes), piece_(piece) {
    if (piece_ == 0)
      piece_ = bytes_.size();
    setg(data(), data(), data());
  }

protected:
  int_type underflow() override {
    std::size_t at = static_cast<std::size_t>(gptr() - data());
    if (at >= bytes_.size())
      return traits_type::eof();
    setg(data(), data() + at, data() + std::min(bytes_.size(), at + piece_));
    return traits_type::to_int_type(*gptr());
  }

private:
  char* data() { return bytes_.data(); }
  std::string bytes_;
  std::size_t piece_;
};

const std::string page = "<HTML><BODY><P CLASS=x>" + std::string(70000, 'a') + "</P>\r\n</BODY></HTML>";

std::string written_from(std::istream& in) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!doc->read(in))
    return "(not a document)";
  return test::write_string(*doc, 0);
}

TEST(HtmlInput, EveryKindOfStreamGivesTheWholeDocument) {
  struct row {
    const char* name;
    std::size_t piece;  // for the buffer that cannot seek; SIZE_MAX: a string stream
    std::size_t skip;   // bytes read off the stream before the document
  };
  const row rows[] = {
      {"string stream", SIZE_MAX, 0},     {"string stream read in part", SIZE_MAX, 3},
      {"memory, all at once", 0, 0},      {"memory, all at once, read in part", 0, 3},
      {"memory, one byte at a time", 1, 0}, {"memory, 4 KiB at a time", 4096, 0},
      {"memory, 4 KiB at a time, read in part", 4096, 3},
  };
  const std::string expected = test::reformat(page, 0);
  ASSERT_EQ(expected.substr(0, 12), "<HTML><HEAD>");
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string bytes = std::string(r.skip, '#') + page;
    std::istringstream text(bytes);
    memory_pieces pieces(bytes, r.piece);
    std::istream from_pieces(&pieces);
    std::istream& in = r.piece == SIZE_MAX ? static_cast<std::istream&>(text) : from_pieces;
    in.ignore(static_cast<std::streamsize>(r.skip));
    std::string got = written_from(in);
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected) << "the output differs from that of the plain string";
  }
}

TEST(HtmlText, KeepsBytesUpToANulWithTheirLength) {
  using namespace std::string_literals;
  struct row {
    std::string in;
    std::string kept;
  };
  const row rows[] = {
      {"", ""},
      {"a", "a"},
      {"abcdef", "abcdef"},
      {"abcdefg", "abcdefg"},
      {"\0abc"s, ""},
      {"ab\0cd"s, "ab"},
      {"abcdef\0"s, "abcdef"},
      {"abcdefgh\0ij"s, "abcdefgh"},
      {"abc\0defghijkl"s, "abc"},
      {std::string(300, 'x') + "\0y"s, std::string(300, 'x')},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(test::shown_text(r.kept));
    html_text t(r.in);
    EXPECT_TRUE(t.has_value());
    EXPECT_EQ(t.view(), r.kept);
    EXPECT_EQ(std::string(t.c_str()), r.kept);
    EXPECT_EQ(t.empty(), r.kept.empty());
    html_text moved(std::move(t));
    EXPECT_EQ(moved.view(), r.kept);
    moved.assign(moved.view().substr(moved.view().size() / 2));
    EXPECT_EQ(moved.view(), r.kept.substr(r.kept.size() / 2));
  }
}

}  // namespace
}  // namespace quillet
