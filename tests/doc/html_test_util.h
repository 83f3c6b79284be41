// Helpers for the document-model tests: reading and writing strings, and a compact dump of a
// tree's structure (names, attributes, flags, nesting) to compare against expected shapes.
#pragma once

#include <sstream>
#include <string>

#include "doc/html_document.h"
#include "doc/html_node.h"

namespace quillet::test {

// Flags as letters: n = line break after, e = line break after the end tag, t = has end tag.
inline std::string flag_letters(std::uint32_t f) {
  std::string s;
  if (f & html_object::NL_AFTER)
    s += 'n';
  if (f & html_object::NL_AFTER_END)
    s += 'e';
  if (f & html_object::HAS_END_TAG)
    s += 't';
  return s.empty() ? s : "{" + s + "}";
}

inline std::string shown_text(std::string_view t) {
  std::string s;
  for (char c : t) {
    if (c == '\r')
      s += "\\r";
    else if (c == '\n')
      s += "\\n";
    else
      s += c;
  }
  return s;
}

std::string dump_list(const html_element* list);

// One node: TAG(ATTR=value,BARE){flags}[children], "text", !--comment--, <decl>, /ETAG.
inline std::string dump_node(const html_element* n) {
  std::string s;
  switch (n->kind) {
  case html_kind::tag: {
    auto* t = static_cast<const html_elt_tag*>(n);
    s = std::string(t->name());
    if (t->attrs)
      s += "(" + dump_list(t->attrs) + ")";
    s += flag_letters(t->flags);
    if (t->children)
      s += "[" + dump_list(t->children) + "]";
    return s;
  }
  case html_kind::attr: {
    auto* a = static_cast<const html_attr*>(n);
    s = std::string(a->name.view());
    if (a->value.has_value())
      s += "=" + std::string(a->value.view());
    return s;
  }
  case html_kind::text: s = "\"" + shown_text(static_cast<const html_elt_text*>(n)->text.view()) + "\""; break;
  case html_kind::comment: s = "!--" + shown_text(static_cast<const html_elt_text*>(n)->text.view()) + "--"; break;
  case html_kind::sgml: s = "<" + shown_text(static_cast<const html_elt_text*>(n)->text.view()) + ">"; break;
  case html_kind::etag: s = "/" + std::string(static_cast<const html_elt_etag*>(n)->def->name); break;
  default: s = "?"; break;
  }
  return s + flag_letters(n->flags);
}

inline std::string dump_list(const html_element* list) {
  std::string s;
  for (const html_element* n = list; n; n = n->next) {
    if (!s.empty())
      s += n->kind == html_kind::attr ? "," : " ";
    s += dump_node(n);
  }
  return s;
}

// Reads `html` into `doc`; returns what read returned.
inline bool read_string(html_document& doc, const std::string& html) {
  std::istringstream in(html);
  return doc.read(in);
}

inline std::string write_string(html_document& doc, std::uint32_t flags) {
  std::ostringstream out;
  doc.write(out, flags);
  return out.str();
}

// Reads and writes again; empty with a note when the text is not a document.
inline std::string reformat(const std::string& html, std::uint32_t flags) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!read_string(*doc, html))
    return "(not a document)";
  return write_string(*doc, flags);
}

}  // namespace quillet::test
