// The editor's load and save conventions: directive comments moved out of the tree while a
// template is edited and put back, with the HEAD content the editor maintains (DOC, TITLE, the
// Content-Type META, WIZ and WPARM, VAR).
#include "doc/editor_conventions.h"

#include <vector>

#include "doc/html_attr_ops.h"

namespace quillet {

namespace {

constexpr std::string_view dynelt_attr = "VXDYNELT";

// Calls visit(tag) for `root` and every tag below it, parents before children. visit may change
// the tag's own children before they are walked. An explicit stack keeps depth off the C stack.
template <class F>
void for_each_tag(html_elt_tag& root, F visit) {
  visit(root);
  std::vector<html_element*> cursors{root.children};
  while (!cursors.empty()) {
    html_element* node = cursors.back();
    if (!node) {
      cursors.pop_back();
      continue;
    }
    cursors.back() = node->next;
    if (node->kind != html_kind::tag)
      continue;
    auto& tag = static_cast<html_elt_tag&>(*node);
    visit(tag);
    cursors.push_back(tag.children);
  }
}

bool is_tag_named(const html_element* n, std::string_view name) {
  return n->kind == html_kind::tag && static_cast<const html_elt_tag*>(n)->name() == name;
}

// Unlinks and releases every node of `list` for which `pick` holds.
template <class F>
void remove_nodes(html_element*& list, F pick) {
  html_element** link = &list;
  while (*link) {
    html_element* n = *link;
    if (!pick(n)) {
      link = &n->next;
      continue;
    }
    *link = n->next;
    n->next = nullptr;
    release_list(n);
  }
}

void remove_dynelt_attrs(html_elt_tag& tag) {
  remove_nodes(tag.attrs, [](const html_element* n) {
    return n->kind == html_kind::attr && static_cast<const html_attr*>(n)->name.view() == dynelt_attr;
  });
}

// The text of the first TITLE element of HEAD when its first child is a text.
std::string read_title(const html_elt_tag& head) {
  for (const html_element* n = head.children; n; n = n->next) {
    if (!is_tag_named(n, "TITLE"))
      continue;
    const html_element* first = static_cast<const html_elt_tag*>(n)->children;
    if (!first || first->kind != html_kind::text)
      return {};
    return decode_directive_entities(static_cast<const html_elt_text*>(first)->text.view());
  }
  return {};
}

// A "VXDYNELT" left in a file by something else is dropped first: it would give an element the
// definition of another one on the next save.
void number_definitions(html_elt_tag& body, template_markup_state& state, const txl_prop_list* params = nullptr) {
  for_each_tag(body, [&state, params](html_elt_tag& tag) {
    remove_dynelt_attrs(tag);
    txl_prop_list props;
    if (!read_directive_list(tag.children, directive_elt, props, mode_keep_text, params))
      return;
    state.definitions.push_back(std::move(props));
    append_node(tag.attrs, new html_attr(dynelt_attr, std::to_string(state.definitions.size())));
  });
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
    if (x != y)
      return false;
  }
  return true;
}

bool has_content_type_meta(html_elt_tag& head) {
  for (html_element* n = head.children; n; n = n->next) {
    if (!is_tag_named(n, "META"))
      continue;
    const char* equiv = get_attr(static_cast<html_elt_tag*>(n)->attrs, "HTTP-EQUIV");
    if (equiv && equals_ignoring_case(equiv, "Content-Type"))
      return true;
  }
  return false;
}

void insert_content_type_meta(html_elt_tag& head) {
  auto* meta = new html_elt_tag(find_tag_def("META"));
  meta->flags = html_object::NL_AFTER | html_object::NL_AFTER_END;
  append_node(meta->attrs, new html_attr("HTTP-EQUIV", std::string_view("Content-Type")));
  append_node(meta->attrs, new html_attr("CONTENT", std::string_view("text/html; charset=windows-1251")));
  meta->next = head.children;
  head.children = meta;
}

void replace_title(html_elt_tag& head, std::string_view title) {
  remove_nodes(head.children, [](const html_element* n) { return is_tag_named(n, "TITLE"); });
  auto* tag = new html_elt_tag(find_tag_def("TITLE"));
  tag->flags = html_object::NL_AFTER_END;
  tag->children = new html_elt_text(encode_directive_entities(title));
  append_node(head.children, tag);
}

// The 1-based position a "VXDYNELT" value names, or 0 when it starts with no digit or names
// no definition.
std::size_t definition_position(const char* value, std::size_t count) {
  if (!value || *value < '0' || *value > '9')
    return 0;
  int n = setting_number(value);
  return n >= 1 && static_cast<std::size_t>(n) <= count ? static_cast<std::size_t>(n) : 0;
}

void restore_definitions(html_elt_tag& body, const template_markup_state& state) {
  for_each_tag(body, [&state](html_elt_tag& tag) {
    html_attr* attr = find_attr(tag.attrs, dynelt_attr);
    if (!attr)
      return;
    std::size_t n = definition_position(attr->value.c_str(), state.definitions.size());
    if (n && !state.definitions[n - 1].empty())
      write_directive_list(tag.children, directive_elt, state.definitions[n - 1], false);
    remove_dynelt_attrs(tag);
  });
}

}  // namespace

void apply_load_conventions(html_document& doc, template_markup_state& state) {
  state = template_markup_state();
  if (doc.head) {
    read_doc_settings(doc.head->children, mode_keep_and_compile, state.project, state.refresh, &state.store);
    state.title = read_title(*doc.head);
    read_fragment_header(doc.head->children, state.fragment);
    read_directive_vars(doc.head->children, state.variables, mode_keep_text);
  }
  if (doc.body)
    number_definitions(*doc.body, state);
}

// The substitution list: ID first, then every parameter with the value the wizard gave it, or
// its default value when the wizard gave none.
txl_prop_list insertion_params(const htdoc_fragment_header& header, const txl_prop_list& values,
                               const txl_prop_list& target_variables) {
  txl_prop_list params{make_rc<txl_user_function>("ID", fragment_instance_id(header.name, target_variables))};
  for (const rc_ptr<htdoc_wparm>& parm : header.params) {
    const txl_user_function* given = find_prop(values, parm->fn->name);
    params.push_back(make_rc<txl_user_function>(parm->fn->name, given ? given->text : parm->fn->text));
  }
  return params;
}

txl_prop_list apply_fragment_load_conventions(html_document& doc, template_markup_state& state,
                                              const txl_prop_list& values, const txl_prop_list& target_variables) {
  state = template_markup_state();
  txl_prop_list params;
  if (doc.head) {
    read_doc_settings(doc.head->children, mode_keep_and_compile, state.project, state.refresh, &state.store);
    state.title = read_title(*doc.head);
    read_fragment_header(doc.head->children, state.fragment);
    params = insertion_params(state.fragment, values, target_variables);
    read_directive_vars(doc.head->children, state.variables, mode_keep_text, &params);
  }
  if (params.empty())
    params = insertion_params(state.fragment, values, target_variables);
  if (doc.body)
    number_definitions(*doc.body, state, &params);
  return params;
}

// So a saved HEAD holds: the Content-Type META when added, what the HEAD held, the DOC
// comment, the TITLE, the WIZ and WPARM comments, the VAR comments.
void apply_save_conventions(html_document& doc, const template_markup_state& state, std::string_view language) {
  if (doc.head) {
    write_doc_settings(doc.head->children, state.project, state.refresh, state.store);
    replace_title(*doc.head, state.title);
    if (is_russian_language(language) && !has_content_type_meta(*doc.head))
      insert_content_type_meta(*doc.head);
    write_fragment_header(doc.head->children, state.fragment);
    write_directive_vars(doc.head->children, state.variables);
  }
  if (doc.body)
    restore_definitions(*doc.body, state);
}

void save_template(html_document& doc, const template_markup_state& state, std::string_view language,
                   std::ostream& out) {
  apply_save_conventions(doc, state, language);
  doc.write(out, 6);
}

bool is_russian_language(std::string_view language) {
  if (language.size() < 2 || !equals_ignoring_case(language.substr(0, 2), "ru"))
    return false;
  return language.size() == 2 || language[2] == '_' || language[2] == '-' || language[2] == '.';
}

}  // namespace quillet
