// The table of known tags: its size, order, rows, and the three lookups.
#include <gtest/gtest.h>

#include <string>

#include "doc/html_elt_def.h"

namespace quillet {
namespace {

using d = html_elt_def;

TEST(TagTable, HasAllRowsSortedByteWise) {
  ASSERT_EQ(tag_table_size, 93u);
  EXPECT_EQ(tag_def_by_index(93), nullptr);
  for (std::size_t i = 0; i < 93; ++i) {
    const html_elt_def* row = tag_def_by_index(i);
    ASSERT_NE(row, nullptr) << i;
    EXPECT_EQ(find_tag_def(row->name), row) << row->name;
    if (i > 0) {
      EXPECT_LT(tag_def_by_index(i - 1)->name, row->name) << i;
    }
  }
  EXPECT_EQ(tag_def_by_index(57)->name, "META");
  EXPECT_EQ(tag_def_by_index(0)->name, "A");
  EXPECT_EQ(tag_def_by_index(92)->name, "XMP");
}

TEST(TagTable, RowsCarryTheirCategoriesAndContent) {
  struct row {
    const char* name;
    std::uint32_t flags, content;
  };
  const row rows[] = {
      {"A", d::INLINE, d::INLINE},
      {"VAR", d::INLINE, d::INLINE},
      {"P", d::BLOCK, d::INLINE},
      {"PRE", d::BLOCK, d::INLINE},
      {"UL", d::INLINE, 0},
      {"TEXTAREA", d::INLINE, 0},
      {"OL", d::BLOCK, 0},
      {"TABLE", d::BLOCK, 0},
      {"AREA", d::EMPTY, 0},
      {"META", d::EMPTY | d::HEAD_CONTENT, 0},
      {"BR", d::EMPTY | d::INLINE, 0},
      {"IMG", d::EMPTY | d::INLINE, 0},
      {"HR", d::EMPTY | d::BLOCK, 0},
      {"ISINDEX", d::EMPTY | d::BLOCK | d::HEAD_CONTENT, 0},
      {"COL", d::EMPTY | d::COLUMN, 0},
      {"TBODY", 0, 0},
      {"HTML", 0, 0},
      {"CAPTION", 0, d::INLINE},
      {"LI", 0, d::INLINE | d::BLOCK},
      {"DD", 0, d::INLINE | d::BLOCK},
      {"COLGROUP", 0, d::COLUMN},
      {"THEAD", 0, d::ROW},
      {"XMP", d::RAW_TEXT | d::BLOCK, 0},
      {"SCRIPT", d::RAW_TEXT | d::INLINE | d::HEAD_CONTENT, 0},
      {"STYLE", d::RAW_TEXT | d::HEAD_CONTENT, 0},
      {"OBJECT", d::INLINE | d::HEAD_CONTENT, 0},
      {"TITLE", d::HEAD_CONTENT, 0},
      {"TH", d::CELL, d::INLINE | d::BLOCK},
      {"TR", d::ROW, d::CELL},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const html_elt_def* def = find_tag_def(r.name);
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->flags, r.flags);
    EXPECT_EQ(def->content, r.content);
  }
}

TEST(TagTable, Lookups) {
  struct row {
    std::string name;
    const char* found;  // null: not found
    bool nocase;
  };
  const row rows[] = {
      {"TD", "TD", false},
      {"td", nullptr, false},
      {"td", "TD", true},
      {"Td", "TD", true},
      {"blockquote", "BLOCKQUOTE", true},
      {"BLOCKQUOTEX", nullptr, true},
      {"T\xC4", nullptr, true},   // a Cyrillic letter of the 8-bit code page
      {"\xE0", nullptr, true},
      {"", nullptr, true},
      {"", nullptr, false},
      {"FOO", nullptr, false},
      {"a", "A", true},
      {"XMP", "XMP", false},
      {"ZZZ", nullptr, false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const html_elt_def* def = r.nocase ? find_tag_def_nocase(r.name) : find_tag_def(r.name);
    if (!r.found) {
      EXPECT_EQ(def, nullptr);
      continue;
    }
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->name, r.found);
  }
}

TEST(TagTable, WideLookup) {
  struct row {
    std::u16string name;
    const char* found;
  };
  const row rows[] = {
      {u"td", "TD"}, {u"Meta", "META"}, {u"t\u0434", nullptr}, {u"\u00e9m", nullptr}, {u"", nullptr},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.found ? r.found : "(none)");
    const html_elt_def* def = find_tag_def_nocase(std::u16string_view(r.name));
    if (!r.found) {
      EXPECT_EQ(def, nullptr);
      continue;
    }
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->name, r.found);
  }
}

}  // namespace
}  // namespace quillet
