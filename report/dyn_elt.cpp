// The common part of dynamic elements (properties, attribute and style lookups, start tags
// written whole) and the generic element with REPEAT and VALUE.
#include "report/html_dyn_elt.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "doc/html_attr_print.h"
#include "doc/html_end_tag.h"
#include "doc/html_printer.h"
#include "report/htdoc_processor.h"

namespace quillet {

namespace {
constexpr std::string_view attr_prefix = "ATTR.";
// Pieces up to this long are assembled in the printer's room; longer ones are written in parts.
constexpr std::size_t short_piece = 4096;
}  // namespace

void html_dyn_elt::clear() {
  unbind_props();
  props.clear();
  plan_ = attr_plan{};
  style_head_ = no_style_head;
  own_style_ = own_style_cache{};
  html_elt_tag::clear();
}

void html_dyn_elt::init(htdoc_processor& owner, html_elt_tag*, const txl_prop_list*) { processor = &owner; }

txl_user_function* html_dyn_elt::find_prop(std::string_view name) const { return quillet::find_prop(props, name); }

void html_dyn_elt::unbind_props() {
  for (auto& prop : props)
    prop->unbind_calls();
}

std::int32_t html_dyn_elt::int_of(txl_user_function* prop, std::int32_t fallback) {
  anyval result;
  std::int32_t n = 0;
  if (!prop || !processor || !processor->evaluate(*prop, result) || !result.to_int(n))
    return fallback;
  return n;
}

// The element's own attribute of exactly that name, when it has a value.
static const html_attr* own_attribute(html_element* attrs, std::string_view name) {
  for (html_element* a = attrs; a; a = a->next) {
    if (a->kind != html_kind::attr)
      continue;
    auto* attr = static_cast<const html_attr*>(a);
    if (attr->name.view() == name && attr->value.has_value())
      return attr;
  }
  return nullptr;
}

bool html_dyn_elt::get_attr_value(std::string_view attr_name, anyval& result, bool& found_dynamic) {
  std::string prop_name = "ATTR.";
  prop_name.append(attr_name);
  if (txl_user_function* prop = find_prop(prop_name)) {
    found_dynamic = true;
    return processor && processor->evaluate(*prop, result);
  }
  found_dynamic = false;
  const html_attr* own = own_attribute(attrs, attr_name);
  if (!own)
    return false;
  result = anyval::from_string(own->value.view());
  return true;
}

// Compares two names ignoring the case of ASCII letters.
static bool same_name_nocase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

bool html_dyn_elt::get_style_value(std::string_view style_name, std::string_view attr_name, anyval& result,
                                   bool& found_dynamic) {
  std::string prop_name = "STYLE.";
  prop_name.append(style_name);
  if (txl_user_function* prop = find_prop(prop_name)) {
    found_dynamic = true;
    return processor && processor->evaluate(*prop, result);
  }
  found_dynamic = false;
  if (const html_attr* style = own_attribute(attrs, "STYLE")) {
    for (const style_item& item : parse_inline_style(style->value.view())) {
      if (same_name_nocase(item.name, style_name) && !item.value.empty()) {
        result = anyval::from_string(item.value);
        return true;
      }
    }
  }
  return get_attr_value(attr_name, result, found_dynamic);
}

// True when the list holds an attribute node.
bool html_dyn_elt::has_attributes(html_element* list) {
  for (html_element* a = list; a; a = a->next)
    if (a->kind == html_kind::attr)
      return true;
  return false;
}

void html_dyn_elt::grow_behind_head(std::size_t n) {
  plan_.head.resize(std::max(plan_.head_size + n, 2 * plan_.head.size()));
}

// The start tag of one computed attribute behind its head: the value `text`, bare or quoted
// as its byte classes `seen` ask, then ">" and a line break when the tag has one. Inline in
// start_tag_with_attr, which calls it on every copy whose value changed.
[[gnu::always_inline]] inline std::string_view html_dyn_elt::assemble_attr_start_tag(std::string_view text,
                                                                                    unsigned seen) {
  char* o = room_behind_head(text.size() + 5);
  const bool bare = seen == 0 && !text.empty();
  if (!bare)
    *o++ = (seen & html_obj_printer::value_has_double) ? '\'' : '"';
  const std::size_t at = static_cast<std::size_t>(o - plan_.head.data());
  o = copy_bytes(o, text.data(), text.size());
  if (!bare)
    *o++ = (seen & html_obj_printer::value_has_double) ? '\'' : '"';
  *o++ = '>';
  if (flags & NL_AFTER) {
    *o++ = '\r';
    *o++ = '\n';
  }
  return keep_start_tag(at, text, o);
}

// The start tag with the one ATTR. property of a tag that has nothing else to write there: the
// attribute is evaluated, and the tag assembled behind its head with the value quoted as
// print_start_tag_with quotes it (which writes a long value or one holding both quotes
// itself). A tag whose attribute gives no text is written without it.
std::string_view html_dyn_elt::start_tag_with_attr(html_obj_printer& p) {
  constexpr unsigned both_quotes = html_obj_printer::value_has_double | html_obj_printer::value_has_single;
  txl_user_function& prop = *props[plan_.attr_props.front()];
  anyval value;
  std::string_view text;
  if (!processor->evaluate(prop, value) || !text_of(value, text)) {
    p.write("<");
    p.write(name());
    p.write((flags & NL_AFTER) ? ">\r\n" : ">");
    return {};
  }
  const std::string_view head = plan_.head_def == def
                                    ? std::string_view(plan_.head.data(), plan_.head_size)
                                    : make_start_tag_head(std::string_view(prop.name).substr(attr_prefix.size()));
  if (start_tag_holds(text))
    return {plan_.head.data(), plan_.last_tag_size};
  const unsigned seen = p.computed_value_classes(text);
  if (head.size() + text.size() > short_piece || (seen & both_quotes) == both_quotes) {
    print_start_tag_with(p, head, text, flags & NL_AFTER, static_cast<int>(seen));
    return {};
  }
  return assemble_attr_start_tag(text, seen);
}

html_dyn_elt::start_tag_way html_dyn_elt::current_start_tag_way() {
  if (!processor || start_tag_extras_ || !def || def->name.empty())
    return start_tag_way::general;
  const attr_plan& plan = current_attr_plan();
  if (plan.start_tag == attr_plan::own_only)
    return start_tag_way::own;  // what print_attributes leaves to the plain tag's writer
  if (plan.start_tag == attr_plan::one_attr && !has_attributes(attrs))
    return start_tag_way::one_attr;
  if (plan.start_tag == attr_plan::style_alone && !has_attributes(attrs))
    return start_tag_way::style_alone;
  return start_tag_way::general;
}

std::string_view html_dyn_elt::computed_start_tag(html_obj_printer& p, start_tag_way way) {
  switch (way) {
    case start_tag_way::own:
      print_own_start_tag(p);
      return {};
    case start_tag_way::one_attr:
      return start_tag_with_attr(p);
    case start_tag_way::style_alone:
      return start_tag_with_style(p);
    case start_tag_way::general:
      break;
  }
  print_start_tag(p, name(), attrs, nullptr);
  return {};
}

void html_dyn_elt_generic::init(htdoc_processor& owner, html_elt_tag* parent, const txl_prop_list* params) {
  html_dyn_elt::init(owner, parent, params);
  repeat = find_prop("REPEAT");
  value = find_prop("VALUE");
  if (!value)
    build_dynamic(owner, children, this, params);
}

namespace {

// The bytes that a value shows as entities: "&", "<" and ">".
struct entity_bytes {
  bool special[256] = {};
  constexpr entity_bytes() {
    special[static_cast<unsigned char>('&')] = special[static_cast<unsigned char>('<')] = true;
    special[static_cast<unsigned char>('>')] = true;
  }
};
constexpr entity_bytes entity_table;

// Appends a part of a value with its special bytes as entities; returns the end.
char* put_encoded(char* o, std::string_view part) {
  for (char c : part) {
    if (!entity_table.special[static_cast<unsigned char>(c)]) {
      *o++ = c;
      continue;
    }
    std::string_view entity = c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;";
    std::memcpy(o, entity.data(), entity.size());
    o += entity.size();
  }
  return o;
}

// Nonzero exactly when one of the eight bytes of `word` is `c`: the bytes equal to c become
// zero, and subtracting one from each byte sets the top bit of the lowest zero byte, while a
// byte whose own top bit was set is masked out (a borrow may mark a byte above a zero one
// too, which does not change the answer).
constexpr std::uint64_t byte_is(std::uint64_t word, unsigned char c) {
  constexpr std::uint64_t ones = 0x0101010101010101ull, tops = 0x8080808080808080ull;
  const std::uint64_t x = word ^ (ones * c);
  return (x - ones) & ~x & tops;
}

constexpr bool word_has_special(std::uint64_t word) {
  return (byte_is(word, '&') | byte_is(word, '<') | byte_is(word, '>')) != 0;
}

// Eight bytes from `b` as a word.
inline std::uint64_t load_word(const unsigned char* b) {
  std::uint64_t w;
  std::memcpy(&w, b, sizeof w);
  return w;
}

// True when a part of a value holds a byte that must be written as an entity: eight bytes at
// a time, the last eight overlapping; a part of four to seven bytes as its first and last four.
[[gnu::always_inline]] inline bool has_special(std::string_view part) {
  const auto* b = reinterpret_cast<const unsigned char*>(part.data());
  const std::size_t n = part.size();
  if (n >= 8) {
    for (std::size_t i = 0; i + 8 < n; i += 8)
      if (word_has_special(load_word(b + i)))
        return true;
    return word_has_special(load_word(b + n - 8));
  }
  if (n >= 4) {
    std::uint32_t first, last;
    std::memcpy(&first, b, 4);
    std::memcpy(&last, b + n - 4, 4);
    return word_has_special(first | std::uint64_t{last} << 32);
  }
  bool any = false;
  for (std::size_t i = 0; i < n; ++i)
    any |= entity_table.special[b[i]];
  return any;
}

}  // namespace

// Writes a text with "&", "<" and ">" as entities, so that a value shows as text. The bytes
// go straight into the printer's buffer, a bounded part at a time (a byte takes at most
// five); a part without special bytes is copied whole.
static void write_encoded(html_obj_printer& p, std::string_view text) {
  constexpr std::size_t part_size = 4096;
  while (!text.empty()) {
    std::string_view part = text.substr(0, part_size);
    text.remove_prefix(part.size());
    char* o = p.room(part.size() * 5);
    p.commit(has_special(part) ? put_encoded(o, part) : copy_bytes(o, part.data(), part.size()));
  }
}

// Copies a piece of n bytes sixteen at a time: up to the next multiple of 16, its source
// holds bytes to read and its destination room to write (which later bytes write over).
[[gnu::always_inline]] inline char* copy_steps(char* to, const char* from, std::size_t n) {
  for (std::size_t i = 0; i < n; i += 16)
    std::memcpy(to + i, from + i, 16);
  return to + n;
}

// A copy's start tag `start` (empty when it was written already), a value's text with its
// special bytes as entities and the end tag `end`, in one reservation of the printer's room
// unless the text is long. The start tag and the end tag are short and have step_slack
// bytes behind them (see copy_plan), and so copied sixteen bytes at a time.
[[gnu::always_inline]] static inline void write_copy(html_obj_printer& p, std::string_view start, std::string_view text,
                                                     std::string_view end, std::size_t slack) {
  if (text.size() > short_piece || end.size() > short_piece) {
    p.write(start);
    write_encoded(p, text);
    p.write(end);
    return;
  }
  char* o = copy_steps(p.room(start.size() + text.size() * 5 + end.size() + 2 * slack), start.data(), start.size());
  o = has_special(text) ? put_encoded(o, text) : copy_bytes(o, text.data(), text.size());
  p.commit(copy_steps(o, end.data(), end.size()));
}

// The same for an integer's digits (the text to_text gives it, which holds no byte written as
// an entity).
static void write_int_copy(html_obj_printer& p, std::string_view start, std::int32_t value, std::string_view end,
                           std::size_t slack) {
  constexpr std::size_t digits_room = 12;  // "-2147483648"
  if (end.size() > short_piece) {
    char digits[digits_room];
    p.write(start);
    p.write({digits, static_cast<std::size_t>(std::to_chars(digits, digits + digits_room, value).ptr - digits)});
    p.write(end);
    return;
  }
  char* o = copy_steps(p.room(start.size() + digits_room + end.size() + 2 * slack), start.data(), start.size());
  o = std::to_chars(o, o + digits_room, value).ptr;
  p.commit(copy_steps(o, end.data(), end.size()));
}

void html_dyn_elt_generic::clear() {
  copy_ = copy_plan{};
  html_dyn_elt::clear();
}

// The end tag is what print_end_tag (which no dynamic element overrides) writes for the
// printer's flags.
[[gnu::noinline]] const html_dyn_elt_generic::copy_plan& html_dyn_elt_generic::make_copy_plan(
    const html_obj_printer& p) {
  copy_.printer = p.serial();
  copy_.way = current_start_tag_way();
  copy_.end.resize(end_tag_room(*this));
  copy_.end_size = static_cast<std::size_t>(put_end_tag_at(*this, p.flags(), copy_.end.data()) - copy_.end.data());
  copy_.end.resize(copy_.end_size + step_slack);
  copy_.whole_start = copy_.way == start_tag_way::own && copy_.end_size <= short_piece &&
                      own_start_tag_text(p, *this, copy_.start);
  copy_.start_size = copy_.whole_start ? copy_.start.size() : 0;
  copy_.start.resize(copy_.start_size + step_slack);
  return copy_;
}

[[gnu::always_inline]] inline const html_dyn_elt_generic::copy_plan& html_dyn_elt_generic::current_copy_plan(
    const html_obj_printer& p) {
  return copy_.printer == p.serial() ? copy_ : make_copy_plan(p);
}

[[gnu::noinline]] void html_dyn_elt_generic::print_copy_start_tag(html_obj_printer& p) {
  const copy_plan& plan = current_copy_plan(p);
  p.write(plan.whole_start ? plan.start_tag() : computed_start_tag(p, plan.way));
}

[[gnu::noinline]] void html_dyn_elt_generic::print_copy_end_tag(html_obj_printer& p) {
  p.write(current_copy_plan(p).end_tag());
}

// The VALUE's text in place of the content. An element without one writes its children
// between its tags; its start tag and its VALUE's copy are written by calls, so that the
// frame each nesting level of a document adds stays small (a document may nest dynamic
// elements as deep as the builder allows).
void html_dyn_elt_generic::print_once(html_obj_printer& p) {
  if (value) {
    print_value_copy(p);
    return;
  }
  print_copy_start_tag(p);
  print_list(p, children);
  print_copy_end_tag(p);
}

// One copy of an element with a VALUE: the start tag, the value's text and the end tag; a
// failure shows its error text, encoded like a value so that no text of an expression can
// turn into markup, or "#ERROR#". The start tag (its computed attributes evaluated before the
// value) is written with the value and the end tag, once the value is known, unless it was
// written already.
[[gnu::noinline]] void html_dyn_elt_generic::print_value_copy(html_obj_printer& p) {
  const copy_plan& plan = current_copy_plan(p);
  const std::string_view start = plan.whole_start ? plan.start_tag() : computed_start_tag(p, plan.way);
  anyval result;
  value_error_.clear();
  if (processor && processor->evaluate(*value, result, &value_error_)) {
    // A string is written from the value itself, without a copy of its text.
    if (const std::string* s = result.as_string()) {
      write_copy(p, start, *s, plan.end_tag(), step_slack);
      return;
    }
    if (result && result->plain_kind == type_int) {
      write_int_copy(p, start, static_cast<const anyval_imp_int*>(result.get())->value, plan.end_tag(), step_slack);
      return;
    }
    if (result.to_text(value_text_)) {
      write_copy(p, start, value_text_, plan.end_tag(), step_slack);
      return;
    }
  }
  const std::string_view error = value_error_.empty() ? std::string_view("#ERROR#") : std::string_view(value_error_);
  write_copy(p, start, error, plan.end_tag(), step_slack);
}

void html_dyn_elt_generic::print_repeated(html_obj_printer& p, int kind, std::int32_t n) {
  kov_context_entry* entry = processor->push_context(kind);
  for (std::int32_t i = 0; i < n && processor->count_repetition(); ++i) {
    if (i > 0)  // the entry starts at index 0
      processor->set_index(entry, i);
    print_once(p);
    if (n != 1)
      p.write("\r\n");
  }
  processor->pop_context(entry);
}

void html_dyn_elt_generic::print(html_obj_printer& p) {
  if (!repeat || !processor) {
    print_once(p);
    return;
  }
  print_repeated(p, 0, int_of(repeat, 1));
}

}  // namespace quillet
