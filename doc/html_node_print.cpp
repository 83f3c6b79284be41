// What each node writes: text and comments verbatim, tags with their attributes, and end tags
// as the printer's options ask. No entity is encoded, except the double quotes of an attribute
// value that holds both kinds of quote.
#include <string>
#include <vector>

#include "doc/html_node.h"
#include "doc/html_printer.h"

namespace quillet {

void html_elt_text::print(html_obj_printer& p) {
  p.write_text(text.view());
  if (flags & NL_AFTER)
    p.write("\r\n");
}

void html_elt_comment::print(html_obj_printer& p) {
  p.write("<!--");
  p.write(text.view());
  p.write("-->");
  if (flags & NL_AFTER)
    p.write("\r\n");
}

// The quote left open at the end of a declaration (a quoted run that the end of input cut
// short), or 0. Written as it is, such a declaration would swallow the rest of the document
// when read again, so the writer closes the quote.
static char open_quote_in(std::string_view t) {
  char open = 0;
  for (char c : t) {
    if (open)
      open = c == open ? 0 : open;
    else if (c == '"' || c == '\'')
      open = c;
  }
  return open;
}

void html_elt_sgml::print(html_obj_printer& p) {
  std::string_view t = text.view();
  p.write("<");
  p.write(t);
  if (char q = open_quote_in(t))
    p.write(std::string_view(&q, 1));
  p.write(">");
  if (flags & NL_AFTER)
    p.write("\r\n");
}

// True when a value can be written without quotes: non-empty, letters, digits, '.' and '-'.
static bool is_bare_value(const html_obj_printer& p, std::string_view v) {
  if (v.empty())
    return false;
  for (char c : v)
    if (!p.is_bare_value_char(static_cast<unsigned char>(c)))
      return false;
  return true;
}

// Appends a quoted value so that reading it again gives the same bytes: double quotes, or
// single quotes around a value that holds a double quote, or, when it holds both kinds,
// double quotes with each '"' inside written as "&quot;".
static void append_quoted_value(std::string& b, std::string_view v) {
  bool has_double = v.find('"') != std::string_view::npos;
  if (!has_double) {
    b.push_back('"');
    b.append(v);
    b.push_back('"');
    return;
  }
  if (v.find('\'') == std::string_view::npos) {
    b.push_back('\'');
    b.append(v);
    b.push_back('\'');
    return;
  }
  b.push_back('"');
  for (std::size_t at = v.find('"'); at != std::string_view::npos; at = v.find('"')) {
    b.append(v.substr(0, at));
    b.append("&quot;");
    v.remove_prefix(at + 1);
  }
  b.append(v);
  b.push_back('"');
}

// Appends an attribute as NAME, NAME=bare or NAME="quoted" to the printer's buffer.
static void append_attribute(const html_obj_printer& p, std::string& b, const html_attr& a) {
  b.append(a.name.view());
  if (!a.value.has_value())
    return;
  b.push_back('=');
  std::string_view v = a.value.view();
  if (is_bare_value(p, v)) {
    b.append(v);
    return;
  }
  append_quoted_value(b, v);
}

void html_attr::print(html_obj_printer& p) {
  append_attribute(p, p.direct(), *this);
  p.end_direct();
}

void html_elt_tag::print(html_obj_printer& p) {
  print_start_tag(p, name(), attrs, nullptr);
  print_list(p, children);
  print_end_tag(p);
}

void html_elt_tag::print_start_tag(html_obj_printer& p, std::string_view tag_name,
                                   html_element* attr_list, html_element* extra) {
  if (tag_name.empty())
    return;
  std::string& b = p.direct();
  b.push_back('<');
  b.append(tag_name);
  print_attributes(p, attr_list, extra);
  p.direct().push_back('>');
  if (flags & NL_AFTER)
    p.direct().append("\r\n");
  p.end_direct();
}

// Applies the extra attributes to the element's own: the first entry of the extra's name takes
// its place (or goes, when the extra has no value), later entries of that name go, and an
// extra that matched nothing is appended when it has a value.
static void merge_extra_attributes(std::vector<html_attr*>& work, html_element* extra) {
  for (html_element* e = extra; e; e = e->next) {
    if (e->kind != html_kind::attr)
      continue;
    auto* x = static_cast<html_attr*>(e);
    std::string_view xname = x->name.view();
    bool matched = false;
    std::size_t kept = 0;
    for (html_attr* a : work) {
      if (a->name.view() != xname) {
        work[kept++] = a;
        continue;
      }
      if (!matched && x->value.has_value())
        work[kept++] = x;
      matched = true;
    }
    work.resize(kept);
    if (!matched && x->value.has_value())
      work.push_back(x);
  }
}

void html_elt_tag::print_attributes(html_obj_printer& p, html_element* attr_list, html_element* extra) {
  if (!extra) {
    std::string& b = p.direct();
    for (html_element* a = attr_list; a; a = a->next) {
      if (a->kind != html_kind::attr)
        continue;
      b.push_back(' ');
      append_attribute(p, b, *static_cast<html_attr*>(a));
    }
    return;
  }
  std::vector<html_attr*> work;
  for (html_element* a = attr_list; a; a = a->next)
    if (a->kind == html_kind::attr)
      work.push_back(static_cast<html_attr*>(a));
  merge_extra_attributes(work, extra);
  for (html_attr* a : work) {
    p.write(" ");
    a->print(p);
  }
}

void html_elt_tag::print_end_tag(html_obj_printer& p) {
  if (!def)
    return;
  if (p.flags() & html_obj_printer::NORMALIZE_END_TAGS) {
    if (def->flags & html_elt_def::EMPTY)
      return;
    std::string& b = p.direct();
    b.append("</");
    b.append(def->name);
    b.push_back('>');
    if ((flags & NL_AFTER_END) || !(flags & HAS_END_TAG))
      b.append("\r\n");
    p.end_direct();
    return;
  }
  if (!(flags & HAS_END_TAG))
    return;
  p.write("</");
  p.write(def->name);
  p.write(">");
  if (flags & NL_AFTER_END)
    p.write("\r\n");
}

void html_elt_etag::print(html_obj_printer& p) {
  if (!def || (p.flags() & html_obj_printer::NORMALIZE_END_TAGS))
    return;
  p.write("</");
  p.write(def->name);
  p.write(">");
  if (flags & NL_AFTER)
    p.write("\r\n");
}

}  // namespace quillet
