// The operations of the catalogue's rows over an element as the page describes it.
#include <algorithm>

#include "doc/html_elt_def.h"
#include "editor/property_catalogue.h"

namespace quillet::editor {
namespace {

using pairs = catalogue_element::pairs;

bool same_nocase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return std::tolower((unsigned char)x) == std::tolower((unsigned char)y); });
}

// Whether `tag` is in the space-separated list.
bool listed(std::string_view list, std::string_view tag) {
  while (!list.empty()) {
    std::size_t end = list.find(' ');
    if (list.substr(0, end) == tag)
      return true;
    if (end == std::string_view::npos)
      return false;
    list.remove_prefix(end + 1);
  }
  return false;
}

// Whether the tag carries the attribute: in the row's list, or, for a "!" list, a known tag
// outside it.
bool carries(std::string_view tags, std::string_view tag) {
  if (tags.starts_with('!'))
    return find_tag_def(tag) != nullptr && !listed(tags.substr(1), tag);
  return listed(tags, tag);
}

const std::string* find(const pairs& list, std::string_view name) {
  for (const auto& [n, v] : list)
    if (same_nocase(n, name))
      return &v;
  return nullptr;
}

// Replaces or appends the entry; an empty value removes it.
void put(pairs& list, std::string_view name, const std::string& value) {
  auto it = std::find_if(list.begin(), list.end(), [&](const auto& p) { return same_nocase(p.first, name); });
  if (value.empty()) {
    if (it != list.end())
      list.erase(it);
    return;
  }
  if (it != list.end()) {
    it->second = value;
    return;
  }
  list.emplace_back(std::string(name), value);
}

// The CSS property a style row reads and writes: the background rows are named with
// underscores in the directive but are hyphenated properties in the page.
std::string css_name(std::string_view name) {
  std::string css(name);
  std::replace(css.begin(), css.end(), '_', '-');
  return css;
}

// Content rows: inline elements that are neither block nor marked 0x80, and a few containers.
bool takes_content(std::string_view tag) {
  if (listed("P DIV LI DD TD A", tag))
    return true;
  const html_elt_def* def = find_tag_def(tag);
  return def && (def->flags & html_elt_def::INLINE) && !(def->flags & (html_elt_def::BLOCK | 0x80));
}

bool takes_repeat(std::string_view tag) {
  const html_elt_def* def = find_tag_def(tag);
  return tag == "TBODY" || (def && (def->flags & (html_elt_def::INLINE | html_elt_def::BLOCK)));
}

bool get_expr(const catalogue_element& e, const std::string& name, std::string& out) {
  const std::string* expr = find(e.definition, name);
  if (!expr)
    return false;
  out = *expr;
  return true;
}

}  // namespace

bool row_applies(const catalogue_row& row, const catalogue_element& e) {
  switch (row.kind) {
  case row_kind::group:
    return false;
  case row_kind::content:
    return takes_content(e.tag);
  case row_kind::repeat:
    return row.key == "REPEAT" ? takes_repeat(e.tag) : listed(row.tags, e.tag);
  case row_kind::attribute:
    return carries(row.tags, e.tag);
  case row_kind::span:
  case row_kind::style:
    return row.tags.empty() || listed(row.tags, e.tag);
  default:
    return true;
  }
}

std::string row_dynamic_name(const catalogue_row& row) {
  switch (row.kind) {
  case row_kind::content:
  case row_kind::repeat:
    return std::string(row.name);
  case row_kind::span:
  case row_kind::attribute:
    return "ATTR." + std::string(row.name);
  case row_kind::combined:
  case row_kind::style:
    return "STYLE." + std::string(row.name);
  default:
    return "";
  }
}

bool row_get_value(const catalogue_row& row, const catalogue_element& e, std::string& out) {
  const std::string* value = nullptr;
  switch (row.kind) {
  case row_kind::content:
    out = e.inner_html;
    return true;
  case row_kind::repeat:
    return row_get_expression(row, e, out);
  case row_kind::span:
  case row_kind::attribute:
    value = find(e.attributes, row.name);
    break;
  case row_kind::combined:
    value = find(e.style, row.name);
    if (!value && carries(row.tags, e.tag))
      value = find(e.attributes, row.key);
    break;
  case row_kind::style:
    value = find(e.style, css_name(row.name));
    break;
  default:
    return false;
  }
  out = value ? *value : "";
  return true;
}

bool row_set_value(const catalogue_row& row, catalogue_element& e, const std::string& text) {
  switch (row.kind) {
  case row_kind::content:
    e.inner_html = text;
    return true;
  case row_kind::span:
  case row_kind::attribute:
    put(e.attributes, row.name, text);
    return true;
  case row_kind::combined:
    put(e.style, row.name, text);
    return true;
  case row_kind::style:
    put(e.style, css_name(row.name), text);
    return true;
  default:
    return false;
  }
}

bool row_get_expression(const catalogue_row& row, const catalogue_element& e, std::string& out) {
  if (row.kind == row_kind::group || row.kind == row_kind::font)
    return false;
  if (get_expr(e, row_dynamic_name(row), out))
    return true;
  return row.kind == row_kind::combined && get_expr(e, "ATTR." + std::string(row.key), out);
}

bool row_set_expression(const catalogue_row& row, catalogue_element& e, const std::string& text) {
  if (row.kind == row_kind::group || row.kind == row_kind::font)
    return false;
  put(e.definition, row_dynamic_name(row), text);
  if (row.kind == row_kind::combined)
    put(e.definition, "ATTR." + std::string(row.key), carries(row.tags, e.tag) ? text : "");
  return true;
}

pairs parse_style_text(std::string_view text) {
  pairs out;
  while (!text.empty()) {
    std::size_t end = std::min(text.find(';'), text.size());
    std::string_view decl = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    std::size_t colon = decl.find(':');
    if (colon == std::string_view::npos)
      continue;
    auto trim = [](std::string_view s) {
      s.remove_prefix(std::min(s.find_first_not_of(" \t\r\n"), s.size()));
      return s.substr(0, s.find_last_not_of(" \t\r\n") + 1);
    };
    std::string name(trim(decl.substr(0, colon)));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    if (!name.empty())
      put(out, name, std::string(trim(decl.substr(colon + 1))));
  }
  return out;
}

std::string style_text(const pairs& style) {
  std::string out;
  for (const auto& [name, value] : style)
    out += (out.empty() ? "" : "; ") + name + ": " + value;
  return out;
}

}  // namespace quillet::editor
