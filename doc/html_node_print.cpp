// What each node writes: text and comments verbatim, tags with their attributes, and end tags
// as the printer's options ask. No entity is encoded, except the double quotes of an attribute
// value that holds both kinds of quote. Pieces are assembled straight into the printer's
// buffer, in room reserved for each node or attribute.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "doc/html_attr_print.h"
#include "doc/html_end_tag.h"
#include "doc/html_node.h"
#include "doc/html_printer.h"

namespace quillet {

namespace {

constexpr std::string_view crlf = "\r\n";
// Pieces longer than this are written through write() in parts rather than assembled in room
// reserved for the whole, so that the printer's buffer never grows with the document's texts.
constexpr std::size_t largest_piece = 4096;

char* put(char* o, std::string_view s) { return copy_bytes(o, s.data(), s.size()); }

// How a value must be written: bare when non-empty and made only of letters, digits, '.' and
// '-'; otherwise quoted, and which kinds of quote it holds.
struct value_shape {
  bool bare = true;
  bool has_double = false;
  bool has_single = false;
};

// How a value must be written. With `remember` (the computed values of a report, which
// repeat from cell to cell), a value of memo size is first compared with the last one looked
// at; a document's own values, nearly all different, are looked up at once.
template <bool remember>
[[gnu::always_inline]] inline unsigned value_classes(html_obj_printer& p, std::string_view v) {
  return remember ? p.computed_value_classes(v) : p.value_classes(v);
}

// How a value of n bytes with these byte classes must be written.
[[gnu::always_inline]] inline value_shape shape_from(unsigned seen, std::size_t n) {
  value_shape s;
  s.bare = n > 0 && seen == 0;
  s.has_double = (seen & html_obj_printer::value_has_double) != 0;
  s.has_single = (seen & html_obj_printer::value_has_single) != 0;
  return s;
}

template <bool remember>
[[gnu::always_inline]] inline value_shape shape_of(html_obj_printer& p, std::string_view v) {
  return shape_from(value_classes<remember>(p, v), v.size());
}

// A value that holds both kinds of quote: between double quotes, each '"' written "&quot;".
void write_quot_escaped(html_obj_printer& p, std::string_view v) {
  p.write("\"");
  for (std::size_t at = v.find('"'); at != std::string_view::npos; at = v.find('"')) {
    p.write(v.substr(0, at));
    p.write("&quot;");
    v.remove_prefix(at + 1);
  }
  p.write(v);
  p.write("\"");
}

// An attribute with a long value, or one that needs "&quot;", written in parts.
void write_attribute_in_parts(html_obj_printer& p, std::string_view name, std::string_view v,
                              const value_shape& shape) {
  p.write(name);
  p.write("=");
  if (shape.bare) {
    p.write(v);
    return;
  }
  if (shape.has_double && shape.has_single) {
    write_quot_escaped(p, v);
    return;
  }
  std::string_view quote = shape.has_double ? "'" : "\"";
  p.write(quote);
  p.write(v);
  p.write(quote);
}

// A value between the quotes given.
void write_quoted(html_obj_printer& p, std::string_view v, std::string_view quote) {
  p.write(quote);
  p.write(v);
  p.write(quote);
}

// Writes "<", a name and ">" or the like: a short piece followed by an optional line break.
void put_marked(html_obj_printer& p, std::string_view open, std::string_view body, std::string_view close,
                bool line_break) {
  if (body.size() > largest_piece) {
    p.write(open);
    p.write(body);
    p.write(close);
    p.write(line_break ? crlf : std::string_view());
    return;
  }
  char* o = p.room(open.size() + body.size() + close.size() + 2);
  o = put(o, open);
  o = put(o, body);
  o = put(o, close);
  if (line_break)
    o = put(o, crlf);
  p.commit(o);
}

// Writes "<" and a tag's name, the start of its start tag.
void put_tag_open(html_obj_printer& p, std::string_view name) {
  if (name.size() > largest_piece) {
    p.write("<");
    p.write(name);
    return;
  }
  char* o = p.room(name.size() + 1);
  *o++ = '<';
  p.commit(put(o, name));
}

// Writes the ">" that closes a start tag, and a line break when asked.
void put_tag_close(html_obj_printer& p, bool line_break) {
  char* o = p.room(3);
  *o++ = '>';
  if (line_break) {
    *o++ = '\r';
    *o++ = '\n';
  }
  p.commit(o);
}

// Writes "</", a tag's name and ">", and a line break when asked.
void put_end_tag(html_obj_printer& p, std::string_view name, bool line_break) {
  if (name.size() > largest_piece) {
    put_marked(p, "</", name, ">", line_break);
    return;
  }
  char* o = p.room(name.size() + 5);
  *o++ = '<';
  *o++ = '/';
  o = put(o, name);
  *o++ = '>';
  if (line_break) {
    *o++ = '\r';
    *o++ = '\n';
  }
  p.commit(o);
}

// Writes an attribute as NAME, NAME=bare or NAME="quoted" (single quotes around a value that
// holds a double quote), after a space when asked, so that reading it again gives the same
// bytes. `remember` as shape_of takes it; each kind has a writer of its own below.
template <bool remember>
[[gnu::always_inline]] inline void put_attribute_as(html_obj_printer& p, const html_attr_view& a, bool space_before) {
  std::string_view name = a.name;
  if (!a.value) {
    put_marked(p, space_before ? " " : "", name, "", false);
    return;
  }
  std::string_view v = *a.value;
  value_shape shape = shape_of<remember>(p, v);
  if (name.size() + v.size() > largest_piece || (shape.has_double && shape.has_single)) {
    if (space_before)
      p.write(" ");
    write_attribute_in_parts(p, name, v, shape);
    return;
  }
  char* o = p.room(name.size() + v.size() + 4);
  if (space_before)
    *o++ = ' ';
  o = put(o, name);
  *o++ = '=';
  if (shape.bare) {
    p.commit(put(o, v));
    return;
  }
  char quote = shape.has_double ? '\'' : '"';
  *o++ = quote;
  o = put(o, v);
  *o++ = quote;
  p.commit(o);
}

// A document's own attribute, and one a report computed.
void put_attribute(html_obj_printer& p, const html_attr_view& a, bool space_before) {
  put_attribute_as<false>(p, a, space_before);
}
void put_computed_attribute(html_obj_printer& p, const html_attr_view& a, bool space_before) {
  put_attribute_as<true>(p, a, space_before);
}

[[gnu::always_inline]] inline html_attr_view view_of(const html_attr& a) {
  if (!a.value.has_value())
    return {a.name.view(), std::nullopt};
  return {a.name.view(), a.value.view()};
}

}  // namespace

[[gnu::noinline]] unsigned html_obj_printer::remember_value_classes(std::string_view v) {
  memo_.seen = static_cast<std::uint8_t>(value_classes(v));
  memo_.size = v.size();
  std::memcpy(memo_.bytes, v.data(), v.size());
  return memo_.seen;
}

void html_elt_text::print(html_obj_printer& p) {
  p.write_text(text.view());
  if (flags & NL_AFTER)
    p.write(crlf);
}

// A body that ends in '-' (cut short by a NUL or by the end of the input) gets a space before
// "-->", or reading the comment again would end it one '-' early.
void html_elt_comment::print(html_obj_printer& p) {
  std::string_view body = text.view();
  put_marked(p, "<!--", body, !body.empty() && body.back() == '-' ? " -->" : "-->", flags & NL_AFTER);
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
  char q = open_quote_in(t);
  std::string_view closer = q == '"' ? "\">" : q == '\'' ? "'>" : ">";
  put_marked(p, "<", t, closer, flags & NL_AFTER);
}

void html_attr::print(html_obj_printer& p) { put_attribute(p, view_of(*this), false); }

void html_elt_tag::print(html_obj_printer& p) {
  print_start_tag(p, name(), attrs, nullptr);
  print_list(p, children);
  print_end_tag(p);
}

void html_elt_tag::print_start_tag(html_obj_printer& p, std::string_view tag_name,
                                   html_element* attr_list, html_element* extra) {
  if (tag_name.empty())
    return;
  put_tag_open(p, tag_name);
  print_attributes(p, attr_list, extra);
  put_tag_close(p, flags & NL_AFTER);
}

// Short start tags are written in one reservation when their attributes are no more than
// this many; classes of their values are kept between the measuring and the writing.
constexpr std::size_t whole_tag_attrs = 16;

// One attribute of a start tag written whole: " NAME", or with its value as put_attribute_as
// writes it, given its byte classes.
static char* put_whole_tag_attribute(char* o, const html_attr_view& a, unsigned seen) {
  *o++ = ' ';
  o = put(o, a.name);
  if (!a.value)
    return o;
  *o++ = '=';
  value_shape shape = shape_from(seen, a.value->size());
  if (shape.bare)
    return put(o, *a.value);
  char quote = shape.has_double ? '\'' : '"';
  *o++ = quote;
  o = put(o, *a.value);
  *o++ = quote;
  return o;
}

// The size of the start tag print_own_start_tag writes, with the byte classes of its
// attributes' values in `seen`; 0 when it is not written whole: a tag without a name, with
// more than whole_tag_attrs attributes, longer than largest_piece or with a value that holds
// both quotes.
static std::size_t measure_own_start_tag(const html_obj_printer& p, const html_elt_tag& tag, std::uint8_t* seen) {
  constexpr unsigned both_quotes = html_obj_printer::value_has_double | html_obj_printer::value_has_single;
  std::string_view tag_name = tag.name();
  std::size_t count = 0;
  std::size_t size = tag_name.size() + 4;
  if (tag_name.empty() || size > largest_piece)
    return 0;
  for (html_element* a = tag.attrs; a; a = a->next) {
    if (a->kind != html_kind::attr)
      continue;
    if (count == whole_tag_attrs)
      return 0;
    auto* attr = static_cast<html_attr*>(a);
    std::string_view v = attr->value.view();
    seen[count] = static_cast<std::uint8_t>(p.value_classes(v));
    size += 4 + attr->name.view().size() + v.size();
    if ((seen[count] & both_quotes) == both_quotes || size > largest_piece)
      return 0;
    ++count;
  }
  return size;
}

// Puts at `o` the start tag that measure_own_start_tag measured; returns its end.
static char* put_own_start_tag(char* o, const html_elt_tag& tag, const std::uint8_t* seen) {
  *o++ = '<';
  o = put(o, tag.name());
  std::size_t i = 0;
  for (html_element* a = tag.attrs; a; a = a->next)
    if (a->kind == html_kind::attr)
      o = put_whole_tag_attribute(o, view_of(*static_cast<html_attr*>(a)), seen[i++]);
  *o++ = '>';
  if (tag.flags & html_elt_tag::NL_AFTER) {
    *o++ = '\r';
    *o++ = '\n';
  }
  return o;
}

// print_own_start_tag for a tag with attributes: measured, then written in one reservation
// unless it is not written whole.
[[gnu::noinline]] static void print_start_tag_with_own(html_obj_printer& p, html_elt_tag& tag) {
  std::uint8_t seen[whole_tag_attrs];
  const std::size_t size = measure_own_start_tag(p, tag, seen);
  if (size == 0) {
    tag.html_elt_tag::print_start_tag(p, tag.name(), tag.attrs, nullptr);
    return;
  }
  p.commit(put_own_start_tag(p.room(size), tag, seen));
}

bool own_start_tag_text(const html_obj_printer& p, const html_elt_tag& tag, std::string& text) {
  std::uint8_t seen[whole_tag_attrs];
  const std::size_t size = measure_own_start_tag(p, tag, seen);
  if (size == 0)
    return false;
  text.resize(size);
  text.resize(static_cast<std::size_t>(put_own_start_tag(text.data(), tag, seen) - text.data()));
  return true;
}

// A tag without attributes, the most common kind, is written here; the others are measured
// out of line.
void html_elt_tag::print_own_start_tag(html_obj_printer& p) {
  std::string_view tag_name = name();
  if (attrs || tag_name.empty() || tag_name.size() > largest_piece) {
    print_start_tag_with_own(p, *this);
    return;
  }
  char* o = p.room(tag_name.size() + 4);
  *o++ = '<';
  o = put(o, tag_name);
  *o++ = '>';
  if (flags & NL_AFTER) {
    *o++ = '\r';
    *o++ = '\n';
  }
  p.commit(o);
}

// Applies one extra to the attributes in work[0, count): the first entry of its name takes
// its value (or goes, when the extra has none), later entries of that name go, and an extra
// that matched nothing is appended when it has a value. Returns the new count.
static std::size_t merge_extra(html_attr_view* work, std::size_t count, const html_attr_view& x) {
  bool matched = false;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (work[i].name != x.name) {
      work[kept++] = work[i];
      continue;
    }
    if (!matched && x.value)
      work[kept++] = x;
    matched = true;
  }
  if (!matched && x.value)
    work[kept++] = x;
  return kept;
}

// True when the extras alone decide the attributes: the list has none of its own and no two
// extras share a name, so each extra with a value is written as it comes.
static bool extras_stand_alone(html_element* attr_list, std::span<const html_attr_view> extras) {
  for (html_element* a = attr_list; a; a = a->next)
    if (a->kind == html_kind::attr)
      return false;
  for (std::size_t i = 0; i < extras.size(); ++i)
    for (std::size_t j = i + 1; j < extras.size(); ++j)
      if (extras[i].name == extras[j].name)
        return false;
  return true;
}

void print_attributes_with(html_obj_printer& p, html_element* attr_list, std::span<const html_attr_view> extras) {
  if (extras.size() <= 8 && extras_stand_alone(attr_list, extras)) {
    for (const html_attr_view& x : extras)
      if (x.value)
        put_computed_attribute(p, x, true);
    return;
  }
  std::size_t room = extras.size();
  for (html_element* a = attr_list; a; a = a->next)
    room += a->kind == html_kind::attr ? 1 : 0;
  constexpr std::size_t inline_room = 16;  // enough for nearly every tag, without allocating
  html_attr_view inline_work[inline_room];
  std::vector<html_attr_view> heap_work(room > inline_room ? room : 0);
  html_attr_view* work = room > inline_room ? heap_work.data() : inline_work;
  std::size_t count = 0;
  for (html_element* a = attr_list; a; a = a->next)
    if (a->kind == html_kind::attr)
      work[count++] = view_of(*static_cast<html_attr*>(a));
  for (const html_attr_view& x : extras)
    count = merge_extra(work, count, x);
  for (std::size_t i = 0; i < count; ++i)
    put_computed_attribute(p, work[i], true);
}

void print_attribute_view(html_obj_printer& p, const html_attr_view& a) { put_computed_attribute(p, a, true); }

// print_start_tag_with for a long value or one that holds both quotes: written in parts.
[[gnu::noinline]] static void write_start_tag_in_parts(html_obj_printer& p, std::string_view head,
                                                       std::string_view value, unsigned seen, bool line_break) {
  const value_shape shape = shape_from(seen, value.size());
  p.write(head);
  if (shape.bare)
    p.write(value);
  else if (shape.has_double && shape.has_single)
    write_quot_escaped(p, value);
  else
    write_quoted(p, value, shape.has_double ? "'" : "\"");
  put_tag_close(p, line_break);
}

// The value's byte classes decide its quotes alone: a report writes the same computed
// attribute on cell after cell, so the common case is a short head and value copied whole.
void print_start_tag_with(html_obj_printer& p, std::string_view head, std::string_view value, bool line_break,
                          int classes) {
  constexpr unsigned both_quotes = html_obj_printer::value_has_double | html_obj_printer::value_has_single;
  const unsigned seen = classes >= 0 ? static_cast<unsigned>(classes) : value_classes<true>(p, value);
  if (head.size() + value.size() > largest_piece || (seen & both_quotes) == both_quotes) [[unlikely]] {
    write_start_tag_in_parts(p, head, value, seen, line_break);
    return;
  }
  char* o = put(p.room(head.size() + value.size() + 5), head);
  if (seen == 0 && !value.empty()) {
    o = put(o, value);
  } else {
    const char quote = (seen & html_obj_printer::value_has_double) ? '\'' : '"';
    *o++ = quote;
    o = put(o, value);
    *o++ = quote;
  }
  *o++ = '>';
  if (line_break) {
    *o++ = '\r';
    *o++ = '\n';
  }
  p.commit(o);
}

void html_elt_tag::print_attributes(html_obj_printer& p, html_element* attr_list, html_element* extra) {
  if (!extra) {
    for (html_element* a = attr_list; a; a = a->next)
      if (a->kind == html_kind::attr)
        put_attribute_as<false>(p, view_of(*static_cast<html_attr*>(a)), true);
    return;
  }
  std::vector<html_attr_view> extras;
  for (html_element* e = extra; e; e = e->next)
    if (e->kind == html_kind::attr)
      extras.push_back(view_of(*static_cast<html_attr*>(e)));
  print_attributes_with(p, attr_list, extras);
}

// Normalized, every non-EMPTY element is closed, and a closing the source did not have is
// followed by a line break; otherwise only the end tags that were there are written. The
// same rule as end_tag_wanted, which writers that assemble the end tag themselves use,
// spelt out here since a document's every element passes this way.
void html_elt_tag::print_end_tag(html_obj_printer& p) {
  if (!def)
    return;
  bool normalize = p.flags() & html_obj_printer::NORMALIZE_END_TAGS;
  if (normalize ? (def->flags & html_elt_def::EMPTY) != 0 : !(flags & HAS_END_TAG))
    return;
  put_end_tag(p, def->name, (flags & NL_AFTER_END) || (normalize && !(flags & HAS_END_TAG)));
}

void html_elt_etag::print(html_obj_printer& p) {
  if (!def || (p.flags() & html_obj_printer::NORMALIZE_END_TAGS))
    return;
  put_end_tag(p, def->name, flags & NL_AFTER);
}

}  // namespace quillet
