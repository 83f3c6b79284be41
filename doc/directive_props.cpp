// Properties as settings: finding, evaluating to text and setting to a string literal; the
// parameter substitution of fragments; the DOC settings of a template.
#include <algorithm>
#include <climits>
#include <string>

#include "doc/template_markup.h"
#include "txl/anyval.h"
#include "txl/binding.h"
#include "txl/compiler.h"

namespace quillet {

txl_user_function* find_prop(const txl_prop_list& props, std::string_view name) {
  for (const rc_ptr<txl_user_function>& p : props)
    if (p && p->name == name)
      return p.get();
  return nullptr;
}

// The property is evaluated on its own: calls in it are not bound, so only constant
// expressions yield a value, which is what settings hold.
int get_prop_string(const txl_prop_list& props, std::string_view name, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < props.size(); ++i) {
    txl_user_function* fn = props[i].get();
    if (!fn || fn->name != name)
      continue;
    if (!fn->body && txl_compiler().compile(fn->text, fn) != 0)
      return -1;
    anyval result;
    std::string error;
    if (!evaluate_user_function(*fn, anyval(), result, error) || !result.to_text(out)) {
      out.clear();
      return -1;
    }
    return static_cast<int>(i);
  }
  return -1;
}

void set_prop_string(std::string_view name, std::string_view text, txl_prop_list& props) {
  txl_user_function* fn = find_prop(props, name);
  if (!fn) {
    props.push_back(make_rc<txl_user_function>(std::string(name)));
    fn = props.back().get();
  }
  fn->clear_body();
  fn->origin.clear();
  fn->text = "\"";
  write_string_literal_body(text, fn->text);
  fn->text += '"';
}

namespace {

// Appends bytes [begin, end) of the source text, and their origin when one is kept.
void append_source(std::string& out, std::string_view text, std::size_t begin, std::size_t end,
                   const txl_text_origin* from, txl_text_origin* to) {
  if (to)
    to->append_slice(*from, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end),
                     static_cast<std::uint32_t>(out.size()));
  out.append(text.substr(begin, end - begin));
}

}  // namespace

// A reference "{$NAME}" runs to the next "}"; the replacement is not scanned again, so
// substitution ends after one pass whatever the parameters hold. The size limit keeps every
// offset of the result within 32 bits.
std::optional<std::string> substitute_params(std::string_view text, const txl_prop_list& params,
                                             txl_text_origin* origin) {
  const txl_text_origin from = origin ? *origin : txl_text_origin();
  txl_text_origin* to = origin && origin->known() ? origin : nullptr;
  if (to)
    to->clear();
  std::string out;
  std::size_t i = 0;
  for (;;) {
    std::size_t ref = text.find("{$", i);
    std::size_t close = ref == std::string_view::npos ? ref : text.find('}', ref + 2);
    if (close == std::string_view::npos) {
      append_source(out, text, i, text.size(), &from, to);
      return out;
    }
    const txl_user_function* p = find_prop(params, text.substr(ref + 2, close - ref - 2));
    std::size_t replaced = p ? p->text.size() : close + 1 - ref;
    if (out.size() + (ref - i) + replaced > directive_max_substituted)
      return std::nullopt;
    append_source(out, text, i, ref, &from, to);
    i = close + 1;
    if (!p) {
      append_source(out, text, ref, i, &from, to);
      continue;
    }
    if (to)
      to->add_point(static_cast<std::uint32_t>(out.size()), from.file_offset(static_cast<std::uint32_t>(ref)));
    out.append(p->text);
  }
}

// Blanks, a sign and decimal digits; anything else ends the number. Values beyond the int
// range stop at its ends instead of overflowing.
int setting_number(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
    ++i;
  bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+'))
    ++i;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1)
      value = static_cast<long long>(INT_MAX) + 1;
  }
  value = negative ? -value : value;
  return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
}

bool read_doc_settings(html_element*& head_list, int mode, std::string& project, int& refresh, std::string* store) {
  project.clear();
  refresh = 0;
  txl_prop_list props;
  bool read = read_directive_list(head_list, directive_doc, props, mode);
  get_prop_string(props, "PRJ", project);
  if (store)
    get_prop_string(props, "STORE", *store);
  std::string text;
  get_prop_string(props, "REFRESH", text);
  refresh = setting_number(text);
  return read;
}

void write_doc_settings(html_element*& head_list, std::string_view project, int refresh, std::string_view store) {
  txl_prop_list props;
  set_prop_string("PRJ", project, props);
  set_prop_string("REFRESH", std::to_string(refresh), props);
  if (!store.empty())
    set_prop_string("STORE", store, props);
  write_directive_list(head_list, directive_doc, props, true);
}

}  // namespace quillet
