// Texts, names and values far longer than the writer's pieces are written whole and read back
// unchanged, quoted as short ones are.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "html_test_util.h"

namespace quillet {
namespace {

TEST(HtmlLongPieces, AreWrittenWholeAndReadBackUnchanged) {
  const std::string a(9000, 'a');
  const std::string spaced = std::string(5000, 'b') + " " + std::string(5000, 'c');
  struct row {
    const char* name;
    std::string body;     // the content of BODY as read and as flags 0 writes it
    std::string written;  // the whole page as flags 0 writes it, when not the page read
  };
  const row rows[] = {
      {"bare value", "<P ID=" + a + ">x</P>", ""},
      {"quoted value", "<P ID=\"" + spaced + "\">x</P>", ""},
      {"value with a double quote", "<P ID='" + a + "\"'>x</P>", ""},
      {"value with both quotes", "<P ID=" + a + "'\"b>x</P>",
       "<HTML><HEAD></HEAD><BODY><P ID=\"" + a + "'&quot;b\">x</P></BODY></HTML>"},
      {"name without value", "<P " + std::string(5000, 'N') + ">x</P>", ""},
      {"empty value after a long name", "<P " + std::string(5000, 'N') + "=\"\">x</P>", ""},
      {"unknown tag", "<" + std::string(5000, 'T') + ">x</" + std::string(5000, 'T') + ">", ""},
      {"comment", "<!--" + spaced + "-->\r\n", ""},
      {"declaration", "<!" + a + ">\r\n", ""},
      {"declaration with an open quote", "<!x \"" + a, "<HTML><HEAD></HEAD><BODY><!x \"" + a + "</BODY></HTML>\">"},
      {"text", spaced + "\r\n", ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    std::string page = "<HTML><HEAD></HEAD><BODY>" + r.body + "</BODY></HTML>";
    const std::string& want = r.written.empty() ? page : r.written;
    std::string got = test::reformat(page, 0);
    EXPECT_EQ(got.size(), want.size());
    EXPECT_TRUE(got == want) << "differs at " << std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin();
    if (r.written.empty()) {
      EXPECT_TRUE(test::reformat(got, 0) == got) << "not read back unchanged";
    }
  }
}

}  // namespace
}  // namespace quillet
