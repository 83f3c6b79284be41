// Inputs the fuzzer found: each reads as a document, and writing it with normalised end tags,
// reading that and writing again gives the same bytes.
#include <gtest/gtest.h>

#include <string>

#include "html_test_util.h"

namespace quillet {
namespace {

struct fixed_point_case {
  const char* name;
  std::string input;
  std::string written;  // the flags-2 output, written and read back unchanged
};

TEST(HtmlFuzzFindings, NormalisedOutputIsAFixedPoint) {
  using namespace std::string_literals;
  // The line break after HTML stays with it.
  const std::string empty_body = "<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n";
  const fixed_point_case rows[] = {
      // A text that is a line break and a NUL keeps only the line break, which is blank.
      {"line break then NUL", "<HTML>\n\0"s, empty_body},
      {"declaration, line break then NUL", "<!><HTML>\n\0"s, "<!>" + empty_body},
      {"NUL first", "<HTML><BODY>\0abc</BODY></HTML>"s, "<HTML><HEAD>\r\n</HEAD>\r\n<BODY></BODY></HTML>"},
      {"text before NUL kept", "<HTML><BODY>ab\0cd</BODY></HTML>"s,
       "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>ab</BODY></HTML>"},
      // Two texts meet where a stray end tag is dropped; "</" and a letter would be markup.
      {"text ending in </ before a letter", "<HTML></</L>Y"s,
       "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>\r\n&lt;/Y</BODY>\r\n</HTML>\r\n"},
      {"text ending in </ before a digit", "<HTML><BODY>a</</L>1</BODY></HTML>"s,
       "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>a</1</BODY></HTML>"},
      {"text ending in < before a letter", "<HTML><BODY>a<</L>b</BODY></HTML>"s,
       "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>a&lt;b</BODY></HTML>"},
      // A comment body that ends in '-' would merge with the closing "-->".
      {"unterminated comment ending in -", "<HTML><BODY>x<!--a-"s,
       "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>x<!--a--></BODY>\r\n</HTML>\r\n"},
      {"comment cut by a NUL after -", "<HTML><BODY>x<!--a-\0--></BODY></HTML>"s,
       "<HTML><HEAD>\r\n</HEAD>\r\n<BODY>x<!--a- --></BODY></HTML>"},
  };
  for (const fixed_point_case& r : rows) {
    SCOPED_TRACE(r.name);
    rc_ptr<html_document> doc = make_rc<html_document>();
    ASSERT_TRUE(test::read_string(*doc, r.input));
    const std::string first = test::write_string(*doc, 2);
    EXPECT_EQ(first, r.written);
    ASSERT_TRUE(test::read_string(*doc, first));
    EXPECT_EQ(test::write_string(*doc, 2), first);
    doc->clear();
  }
}

}  // namespace
}  // namespace quillet
