// Computed attributes of dynamic elements: ATTR. properties as attributes, STYLE. properties
// merged into the inline style.
#include <vector>

#include "report/html_dyn_elt.h"
#include "report/htdoc_processor.h"

namespace quillet {

namespace {

constexpr std::string_view attr_prefix = "ATTR.";
constexpr std::string_view style_prefix = "STYLE.";

bool has_prefix(const std::string& name, std::string_view prefix) { return std::string_view(name).starts_with(prefix); }

// The STYLE attribute's text with the dynamic items merged in: each parsed item replaced by
// the first unplaced dynamic item of the same name, then the dynamic items left over.
std::string merged_style(std::vector<style_item> parsed, std::vector<style_item> dynamic) {
  std::vector<bool> placed(dynamic.size(), false);
  std::vector<const style_item*> out;
  for (const style_item& item : parsed) {
    const style_item* use = &item;
    for (std::size_t i = 0; i < dynamic.size(); ++i) {
      if (!placed[i] && dynamic[i].name == item.name) {
        placed[i] = true;
        use = &dynamic[i];
        break;
      }
    }
    out.push_back(use);
  }
  for (std::size_t i = 0; i < dynamic.size(); ++i)
    if (!placed[i])
      out.push_back(&dynamic[i]);
  std::string text;
  for (const style_item* item : out) {
    if (!text.empty())
      text += ' ';
    text += item->name + ":" + item->value + ";";
  }
  return text;
}

// The items of the element's STYLE attribute (the first one with a value).
std::vector<style_item> own_style(html_element* attrs) {
  for (html_element* a = attrs; a; a = a->next) {
    if (a->kind != html_kind::attr)
      continue;
    auto* attr = static_cast<html_attr*>(a);
    if (attr->name.view() == "STYLE" && attr->value.has_value())
      return parse_inline_style(attr->value.view());
  }
  return {};
}

// The element's inline style with the STYLE. properties that give a text merged in.
std::string computed_style(htdoc_processor& processor, const txl_prop_list& props, html_element* attrs) {
  std::vector<style_item> dynamic;
  anyval result;
  std::string text;
  for (const auto& prop : props) {
    if (has_prefix(prop->name, style_prefix) && processor.evaluate(*prop, result) && result.to_text(text))
      dynamic.push_back({prop->name.substr(style_prefix.size()), text});
  }
  return merged_style(own_style(attrs), std::move(dynamic));
}

}  // namespace

// Appends the ATTR. properties that give a text, in property order, to the computed
// attributes. The last one's value is written before anything else is evaluated, so a string
// there is shown from `last` itself; the others are copied, since evaluating a later
// property may change a string in place.
void html_dyn_elt::add_attr_props(std::size_t attr_props, anyval& last) {
  if (computed_texts_.size() < attr_props)
    computed_texts_.resize(attr_props);
  std::size_t left = attr_props;
  for (const auto& prop : props) {
    if (!has_prefix(prop->name, attr_prefix))
      continue;
    --left;
    std::string_view name = std::string_view(prop->name).substr(attr_prefix.size());
    if (!processor->evaluate(*prop, last))
      continue;
    if (const std::string* s = left == 0 ? last.as_string() : nullptr) {
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
  bool has_style = false;
  std::size_t attr_props = 0;
  for (const auto& prop : props) {
    has_style = has_style || has_prefix(prop->name, style_prefix);
    attr_props += has_prefix(prop->name, attr_prefix) ? 1 : 0;
  }
  if ((!has_style && attr_props == 0) || !processor) {
    html_elt_tag::print_attributes(p, attr_list, extra);
    return;
  }
  std::string style = has_style ? computed_style(*processor, props, attr_list) : std::string();
  computed_attrs_.clear();
  anyval last;
  add_attr_props(attr_props, last);
  if (has_style)
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
