// Computed attributes of dynamic elements: ATTR. properties as attributes, STYLE. properties
// merged into the inline style.
#include <algorithm>
#include <vector>

#include "doc/html_printer.h"
#include "report/html_dyn_elt.h"
#include "report/htdoc_processor.h"

namespace quillet {

namespace {

constexpr std::string_view attr_prefix = "ATTR.";
constexpr std::string_view style_prefix = "STYLE.";

bool has_prefix(const std::string& name, std::string_view prefix) { return std::string_view(name).starts_with(prefix); }

// The element's STYLE attribute (the first one with a value), or null.
html_attr* style_attr(html_element* attrs) {
  for (html_element* a = attrs; a; a = a->next) {
    if (a->kind != html_kind::attr)
      continue;
    auto* attr = static_cast<html_attr*>(a);
    if (attr->name.view() == "STYLE" && attr->value.has_value())
      return attr;
  }
  return nullptr;
}

// Appends one "name:value;" item to the first `used` bytes of `room`, a blank before all but
// the first, and moves `used` past it. The room only grows, so that a report's cells reuse it
// and their short pieces are copied inline.
void append_style_item(std::string& room, std::size_t& used, std::string_view name, std::string_view value) {
  std::size_t need = used + name.size() + value.size() + 3;
  if (room.size() < need)
    room.resize(std::max(need, 2 * room.size()));
  char* o = room.data() + used;
  if (used > 0)
    *o++ = ' ';
  o = copy_bytes(o, name.data(), name.size());
  *o++ = ':';
  o = copy_bytes(o, value.data(), value.size());
  *o++ = ';';
  used = static_cast<std::size_t>(o - room.data());
}

constexpr unsigned quote_double = html_obj_printer::value_has_double;
constexpr unsigned quote_single = html_obj_printer::value_has_single;

// The quotes a text holds, as quote_double and quote_single bits.
unsigned quotes_in(std::string_view text) {
  unsigned seen = 0;
  for (char c : text)
    seen |= (c == '"' ? quote_double : 0) | (c == '\'' ? quote_single : 0);
  return seen;
}

// The classes of a text's bytes by the printer's table, of which the quote bits count here: a
// lookup a byte, which a value of a few bytes takes without the set-up of a wider loop.
unsigned classes_in(const html_obj_printer& p, std::string_view text) {
  unsigned seen = 0;
  for (char c : text)
    seen |= p.value_class(static_cast<unsigned char>(c));
  return seen;
}

constexpr std::size_t largest_piece = 4096;  // beyond it, the printer writes in parts

// Writes " NAME=" and a value that cannot be bare (it is empty or holds a ':') between the
// quotes its known quote bits ask for: the bytes print_attribute_view writes, which it is
// left to for a value holding both quotes or too long for one reservation.
void print_quoted_attribute(html_obj_printer& p, std::string_view name, std::string_view value, unsigned quotes) {
  bool has_double = quotes & quote_double;
  if (name.size() + value.size() > largest_piece || (has_double && (quotes & quote_single))) {
    print_attribute_view(p, {name, value});
    return;
  }
  char* o = p.room(name.size() + value.size() + 4);
  *o++ = ' ';
  o = copy_bytes(o, name.data(), name.size());
  *o++ = '=';
  char quote = has_double ? '\'' : '"';
  *o++ = quote;
  o = copy_bytes(o, value.data(), value.size());
  *o++ = quote;
  p.commit(o);
}

}  // namespace

const html_dyn_elt::attr_plan& html_dyn_elt::make_attr_plan() {
  plan_ = attr_plan{};
  style_head_ = no_style_head;
  plan_.props_data = props.data();
  plan_.props_size = props.size();
  plan_.known = true;
  for (std::size_t i = 0; i < props.size(); ++i) {
    if (has_prefix(props[i]->name, style_prefix)) {
      plan_.style_props.push_back(i);
      plan_.style_name_quotes |= quotes_in(props[i]->name);
    }
    plan_.has_style = !plan_.style_props.empty();
    if (!has_prefix(props[i]->name, attr_prefix))
      continue;
    for (std::size_t k : plan_.attr_props)
      plan_.distinct_names = plan_.distinct_names && props[k]->name != props[i]->name;
    plan_.attr_props.push_back(i);
  }
  if (!plan_.has_style && plan_.attr_props.empty())
    plan_.start_tag = attr_plan::own_only;
  if (!plan_.has_style && plan_.attr_props.size() == 1)
    plan_.start_tag = attr_plan::one_attr;
  if (plan_.has_style && plan_.attr_props.empty())
    plan_.start_tag = attr_plan::style_alone;
  return plan_;
}

// The items of the element's own STYLE attribute; a template's attributes stay the same from
// one row to the next, so the text is parsed again only when it is another.
const std::vector<style_item>& html_dyn_elt::own_style(html_element* attrs) {
  html_attr* attr = style_attr(attrs);
  std::string_view text = attr ? attr->value.view() : std::string_view();
  if (own_style_.known && own_style_.text == text)
    return own_style_.items;
  own_style_.known = true;
  own_style_.text.assign(text);
  own_style_.items = attr ? parse_inline_style(text) : std::vector<style_item>();
  return own_style_.items;
}

// Evaluates the STYLE. properties in order into their texts, noting those that gave one.
void html_dyn_elt::evaluate_style_props(const attr_plan& plan) {
  if (style_values_.size() < plan.style_props.size())
    style_values_.resize(plan.style_props.size());
  style_given_.clear();
  anyval result;
  for (std::size_t k = 0; k < plan.style_props.size(); ++k) {
    if (processor->evaluate(*props[plan.style_props[k]], result) && result.to_text(style_values_[k]))
      style_given_.push_back(k);
  }
}

// The inline style with the STYLE. properties that give a text merged in: each own item
// replaced by the first unplaced computed item of the same name, then the computed items
// left over, in property order.
std::string_view html_dyn_elt::merge_style(const attr_plan& plan, html_element* attrs) {
  evaluate_style_props(plan);
  const std::vector<style_item>& own = own_style(attrs);
  style_placed_.assign(style_given_.size(), 0);
  style_used_ = 0;
  style_head_ = no_style_head;
  auto name_of = [&](std::size_t g) {
    return std::string_view(props[plan.style_props[style_given_[g]]]->name).substr(style_prefix.size());
  };
  for (const style_item& item : own) {
    std::size_t g = 0;
    while (g < style_given_.size() && (style_placed_[g] || name_of(g) != item.name))
      ++g;
    if (g == style_given_.size()) {
      append_style_item(style_text_, style_used_, item.name, item.value);
      continue;
    }
    style_placed_[g] = 1;
    append_style_item(style_text_, style_used_, name_of(g), style_values_[style_given_[g]]);
  }
  for (std::size_t g = 0; g < style_given_.size(); ++g)
    if (!style_placed_[g])
      append_style_item(style_text_, style_used_, name_of(g), style_values_[style_given_[g]]);
  return {style_text_.data(), style_used_};
}

// Writes each ATTR. property that gives a text as soon as it is evaluated, for a tag whose
// computed attributes are all there is: no attributes of its own, no STYLE. properties, no
// extras and no name twice. A string is written from the value itself.
void html_dyn_elt::print_attr_props(html_obj_printer& p, const attr_plan& plan) {
  anyval value;
  for (std::size_t k : plan.attr_props) {
    txl_user_function& prop = *props[k];
    if (!processor->evaluate(prop, value))
      continue;
    std::string_view name = std::string_view(prop.name).substr(attr_prefix.size());
    if (const std::string* s = value.as_string())
      print_attribute_view(p, {name, *s});
    else if (value.to_text(attr_text_))
      print_attribute_view(p, {name, attr_text_});
  }
}

// Writes STYLE with the STYLE. properties that give a text, in property order, for a tag whose
// computed style is all there is: no attributes of its own, no ATTR. properties, no extras.
// Each item goes into the style text as soon as it is evaluated, so no text is copied twice,
// and the quotes of the attribute are known from the names and values without a look at the
// whole text; it is never bare, since every item holds a ':'.
void html_dyn_elt::print_style_props(html_obj_printer& p, const attr_plan& plan) {
  unsigned quotes = assemble_style_props(plan, p);
  print_quoted_attribute(p, "STYLE", {style_text_.data(), style_used_}, quotes);
}

// Puts the STYLE. properties that give a text into the style text, as print_style_props
// writes it; returns the quotes the text holds.
unsigned html_dyn_elt::assemble_style_props(const attr_plan& plan, const html_obj_printer& p) {
  style_used_ = 0;
  unsigned quotes = plan.style_name_quotes;
  anyval value;
  for (std::size_t k : plan.style_props) {
    txl_user_function& prop = *props[k];
    if (!processor->evaluate(prop, value))
      continue;
    std::string_view text;
    if (const std::string* s = value.as_string())
      text = *s;
    else if (value.to_text(attr_text_))
      text = attr_text_;
    else
      continue;
    quotes |= classes_in(p, text);
    std::string_view name = std::string_view(prop.name).substr(style_prefix.size());
    if (style_used_ == 0 && style_head_ == k && style_text_.size() >= name.size() + text.size() + 2) {
      // "name:" of the same property leads the text from last time: only the value is new
      char* o = copy_bytes(style_text_.data() + name.size() + 1, text.data(), text.size());
      *o++ = ';';
      style_used_ = static_cast<std::size_t>(o - style_text_.data());
      continue;
    }
    if (style_used_ == 0)
      style_head_ = k;
    append_style_item(style_text_, style_used_, name, text);
  }
  return quotes;
}

// "<", the tag's name, a space, the attribute's name and "=": the same for every copy of the
// element while its properties and definition stay, so made once.
std::string_view html_dyn_elt::make_start_tag_head(std::string_view attr_name) {
  plan_.head.assign("<").append(name()).append(" ").append(attr_name).append("=");
  plan_.head_def = def;
  plan_.head_size = plan_.head.size();
  plan_.last_value_size = std::string_view::npos;
  return plan_.head;
}

// The start tag with the computed STYLE of a tag that has nothing else to write there. The
// common tag of one STYLE. property is assembled behind a head that holds the property's
// "name:" too (`<TD STYLE="color:`), unless a double quote asks for other quotes or the value
// is long; any other is written here.
std::string_view html_dyn_elt::start_tag_with_style(html_obj_printer& p) {
  if (plan_.style_props.size() != 1 || (plan_.style_name_quotes & quote_double)) {
    print_start_tag_with_styles(p, plan_, nullptr);
    return {};
  }
  txl_user_function& prop = *props[plan_.style_props.front()];
  if (plan_.head_def != def) [[unlikely]] {
    const std::string_view style_name = std::string_view(prop.name).substr(style_prefix.size());
    plan_.head.assign("<").append(name()).append(" STYLE=\"").append(style_name).append(":");
    plan_.head_def = def;
    plan_.head_size = plan_.head.size();
    plan_.last_value_size = std::string_view::npos;
  }
  anyval value;
  std::string_view text;
  const bool given = processor->evaluate(prop, value) && text_of(value, text);
  if (given && start_tag_holds(text))
    return {plan_.head.data(), plan_.last_tag_size};
  if (!given || plan_.head_size + text.size() > largest_piece ||
      (p.computed_value_classes(text) & quote_double)) {
    print_start_tag_with_styles(p, plan_, given ? &text : nullptr);
    return {};
  }
  char* o = copy_bytes(room_behind_head(text.size() + 5), text.data(), text.size());
  o[0] = ';';
  o[1] = '"';
  o[2] = '>';
  o += 3;
  if (flags & NL_AFTER) {
    o[0] = '\r';
    o[1] = '\n';
    o += 2;
  }
  return keep_start_tag(plan_.head_size, text, o);
}

// The start tag with the computed STYLE assembled first, as print_start_tag_with_style
// writes it for several STYLE. properties; `one`, when not null, is the text that the one
// property of a tag with the long head gave (without it, the property gave none and the
// STYLE is empty). Out of line, so that the common path stays small.
[[gnu::noinline]] void html_dyn_elt::print_start_tag_with_styles(html_obj_printer& p, const attr_plan& plan,
                                                                const std::string_view* one) {
  if (plan.style_props.size() != 1 || (plan.style_name_quotes & quote_double)) {
    unsigned quotes = assemble_style_props(plan, p) | html_obj_printer::value_needs_quotes;
    print_start_tag_with(p, start_tag_head("STYLE"), {style_text_.data(), style_used_}, flags & NL_AFTER,
                         static_cast<int>(quotes));
    return;
  }
  const std::string& prop_name = props[plan.style_props.front()]->name;
  const std::string_view style_name = std::string_view(prop_name).substr(style_prefix.size());
  style_used_ = 0;
  style_head_ = no_style_head;
  unsigned quotes = plan.style_name_quotes | html_obj_printer::value_needs_quotes;
  if (one) {
    append_style_item(style_text_, style_used_, style_name, *one);
    quotes |= classes_in(p, *one);
  }
  print_start_tag_with(p, std::string_view(plan_.head.data(), name().size() + 8),
                       {style_text_.data(), style_used_}, flags & NL_AFTER, static_cast<int>(quotes));
}

// Appends the ATTR. properties that give a text, in property order, to the computed
// attributes. The last one's value is written before anything else is evaluated, so a string
// there is shown from `last` itself; the others are copied, since evaluating a later
// property may change a string in place.
void html_dyn_elt::add_attr_props(const attr_plan& plan, anyval& last) {
  if (computed_texts_.size() < plan.attr_props.size())
    computed_texts_.resize(plan.attr_props.size());
  for (std::size_t k = 0; k < plan.attr_props.size(); ++k) {
    txl_user_function& prop = *props[plan.attr_props[k]];
    if (!processor->evaluate(prop, last))
      continue;
    std::string_view name = std::string_view(prop.name).substr(attr_prefix.size());
    if (const std::string* s = k + 1 == plan.attr_props.size() ? last.as_string() : nullptr) {
      computed_attrs_.push_back({name, *s});
      continue;
    }
    std::string& text = computed_texts_[computed_attrs_.size()];
    if (last.to_text(text))
      computed_attrs_.push_back({name, text});
  }
}

// The extras of the start tag are the ATTR. properties that give a text, in property order,
// then the merged STYLE, then the caller's extras; the style items are evaluated first.
void html_dyn_elt::print_attributes(html_obj_printer& p, html_element* attr_list, html_element* extra) {
  const attr_plan& plan = current_attr_plan();
  if ((!plan.has_style && plan.attr_props.empty()) || !processor) {
    html_elt_tag::print_attributes(p, attr_list, extra);
    return;
  }
  if (!extra && !has_attributes(attr_list)) {
    if (!plan.has_style && plan.distinct_names) {
      print_attr_props(p, plan);
      return;
    }
    if (plan.attr_props.empty()) {
      print_style_props(p, plan);
      return;
    }
  }
  std::string_view style = plan.has_style ? merge_style(plan, attr_list) : std::string_view();
  computed_attrs_.clear();
  anyval last;
  add_attr_props(plan, last);
  if (plan.has_style)
    computed_attrs_.push_back({"STYLE", style});
  for (html_element* e = extra; e; e = e->next) {
    if (e->kind != html_kind::attr)
      continue;
    auto* x = static_cast<html_attr*>(e);
    std::optional<std::string_view> value;
    if (x->value.has_value())
      value = x->value.view();
    computed_attrs_.push_back({x->name.view(), value});
  }
  print_attributes_with(p, attr_list, computed_attrs_);
}

}  // namespace quillet
