// Source offsets of the nodes a read makes, and the lines and columns worked out from them.
#include <gtest/gtest.h>

#include <string>

#include "doc/html_document.h"
#include "doc/source_lines.h"

namespace quillet {
namespace {

// Every node in document order as NAME@offset (TAG, attribute NAME=, #text, !comment,
// ?declaration, /stray end tag), with "-" for a node the reader made up.
void offsets_of(const html_element* list, std::string& out) {
  for (const html_element* n = list; n; n = n->next) {
    std::string name;
    switch (n->kind) {
      case html_kind::tag: name = static_cast<const html_elt_tag*>(n)->name(); break;
      case html_kind::attr: name = std::string(static_cast<const html_attr*>(n)->name.view()) + "="; break;
      case html_kind::text: name = "#"; break;
      case html_kind::comment: name = "!"; break;
      case html_kind::sgml: name = "?"; break;
      case html_kind::etag: name = "/" + std::string(static_cast<const html_elt_etag*>(n)->def->name); break;
      default: name = "object"; break;
    }
    out += out.empty() ? "" : " ";
    out += name + "@" + (n->source_offset == no_source_offset ? "-" : std::to_string(n->source_offset));
    if (n->kind != html_kind::tag)
      continue;
    offsets_of(static_cast<const html_elt_tag*>(n)->attrs, out);
    offsets_of(static_cast<const html_elt_tag*>(n)->children, out);
  }
}

struct offset_row {
  const char* html;
  const char* offsets;
};

const offset_row offset_rows[] = {
    {"<!DOCTYPE html><HTML><HEAD></HEAD><BODY>x</BODY></HTML>", "?@0 HTML@15 HEAD@21 BODY@34 #@40"},
    {"<HTML>\r\n<BODY class=a\n ID='b'>text<!--c--></ZZ></BODY></HTML>",
     "HTML@0 HEAD@- BODY@8 CLASS=@14 ID=@23 #@30 !@34 /ZZ@42"},
    {"<HTML><BODY><IMG SRC=x><!--$VX ELT VALUE=%{1}%-->t</BODY></HTML>",
     "HTML@0 HEAD@- BODY@6 IMG@12 SRC=@17 !@23 #@49"},
    {"<HTML><BODY><SCRIPT>a<b</SCRIPT><P>p</BODY></HTML>", "HTML@0 HEAD@- BODY@6 SCRIPT@12 #@20 P@32 #@35"},
    {"x<HTML><BODY></BODY></HTML>", "(not a document)"},
};

TEST(SourceOffsets, EveryNodeReadKnowsWhereItStarts) {
  for (const offset_row& row : offset_rows) {
    SCOPED_TRACE(row.html);
    rc_ptr<html_document> doc = make_rc<html_document>();
    std::string got;
    if (doc->read(std::string_view(row.html)))
      offsets_of(doc->top, got);
    else
      got = "(not a document)";
    EXPECT_EQ(got, row.offsets);
    doc->clear();
  }
}

struct line_row {
  const char* text;
  std::uint32_t offset;
  std::uint32_t line;
  std::uint32_t column;
};

const line_row line_rows[] = {
    {"", 0, 1, 1},
    {"abc", 2, 1, 3},
    {"abc", 3, 1, 4},          // just past the end
    {"abc", 4, 0, 0},          // beyond it
    {"a\nbc", 1, 1, 2},        // the line feed ends its line
    {"a\nbc", 2, 2, 1},
    {"a\r\nbc\r\n", 1, 1, 2},  // so does a carriage return before it
    {"a\r\nbc\r\n", 4, 2, 2},
    {"a\r\nbc\r\n", 7, 3, 1},
    {"a\rb", 2, 1, 3},         // a lone carriage return does not
    {"\n\n\tx", 3, 3, 2},      // a tab is one column
    {"abc", no_source_offset, 0, 0},
};

TEST(SourceLines, LinesAndColumnsCountFromOne) {
  for (const line_row& row : line_rows) {
    SCOPED_TRACE(std::string(row.text) + " at " + std::to_string(row.offset));
    source_position at = source_lines(row.text).position_of(row.offset);
    EXPECT_EQ(at.line, row.line);
    EXPECT_EQ(at.column, row.column);
  }
  source_lines lines("a\nb");
  EXPECT_EQ(source_place("t.html", lines, 2), "t.html:2:1: ");
  EXPECT_EQ(source_place("t.html", lines, no_source_offset), "t.html: ");
}

}  // namespace
}  // namespace quillet
