// Computed attributes of dynamic elements: ATTR. properties as attributes, STYLE. properties
// merged into the inline style.
#include <vector>

#include "report/html_dyn_elt.h"
#include "report/htdoc_processor.h"

namespace quillet {

namespace {

constexpr std::string_view attr_prefix = "ATTR.";
constexpr std::string_view style_prefix = "STYLE.";

bool starts_with(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// Extra attribute nodes made for one start tag, chained in front of the caller's extras;
// unchained and released when the tag has been written.
class extra_chain {
public:
  explicit extra_chain(html_element* tail) : tail_(tail) {}
  ~extra_chain() {
    for (html_attr* a : made_) {
      a->next = nullptr;
      a->release();
    }
  }
  void add(std::string_view name, std::string_view value) { made_.push_back(new html_attr(name, value)); }
  // The chain: the attributes in the order added, then the caller's extras.
  html_element* head() {
    html_element* next = tail_;
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      (*it)->next = next;
      next = *it;
    }
    return next;
  }

private:
  html_element* tail_;
  std::vector<html_attr*> made_;
};

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

}  // namespace

void html_dyn_elt::print_attributes(html_obj_printer& p, html_element* attr_list, html_element* extra) {
  bool has_style = false;
  bool has_attr = false;
  for (const auto& prop : props) {
    has_style = has_style || starts_with(prop->name, style_prefix);
    has_attr = has_attr || starts_with(prop->name, attr_prefix);
  }
  if ((!has_style && !has_attr) || !processor) {
    html_elt_tag::print_attributes(p, attr_list, extra);
    return;
  }
  // The style items are evaluated first, then the attributes, each in property order.
  std::vector<style_item> dynamic;
  extra_chain chain(extra);
  anyval result;
  std::string text;
  for (int pass = 0; pass < 2; ++pass) {
    std::string_view prefix = pass == 0 ? style_prefix : attr_prefix;
    for (const auto& prop : props) {
      if (!starts_with(prop->name, prefix) || !processor->evaluate(*prop, result) || !result.to_text(text))
        continue;
      if (pass == 0)
        dynamic.push_back({prop->name.substr(prefix.size()), text});
      else
        chain.add(std::string_view(prop->name).substr(prefix.size()), text);
    }
  }
  if (has_style)
    chain.add("STYLE", merged_style(own_style(attr_list), std::move(dynamic)));
  html_elt_tag::print_attributes(p, attr_list, chain.head());
}

}  // namespace quillet
