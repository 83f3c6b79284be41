// The header of a fragment: the WIZ comment with its class identifier, name and description,
// the WPARM comments of its wizard parameters, and the ID that an inserted copy is given.
#include <string>

#include "doc/template_markup.h"

namespace quillet {

const std::array<wparm_type_row, 11> wparm_types = {{
    {"STR", "STR (string)"},
    {"NUM", "NUM (number)"},
    {"INT", "INT (integer)"},
    {"OBJ", "OBJ (VELMOR object)"},
    {"CHAN", "CHAN (VELMOR channel)"},
    {"LIST", "LIST (array)"},
    {"STRLIST", "STRLIST (string array)"},
    {"TIME", "TIME (time)"},
    {"COLOR", "COLOR (color)"},
    {"FONT", "FONT (font)"},
    {"EXPR", "EXPR (expression)"},
}};

std::string_view wparm_type_display(std::string_view keyword) {
  for (const wparm_type_row& row : wparm_types)
    if (row.keyword == keyword)
      return row.display;
  return {};
}

namespace {

// One parameter from the pairs of its WPARM comment; VALUE is taken as text, not evaluated.
rc_ptr<htdoc_wparm> make_wparm(const txl_prop_list& props) {
  auto parm = make_rc<htdoc_wparm>();
  get_prop_string(props, "NAME", parm->fn->name);
  get_prop_string(props, "DESC", parm->desc);
  get_prop_string(props, "TYPE", parm->type);
  get_prop_string(props, "PROMPT", parm->prompt);
  if (const txl_user_function* value = find_prop(props, "VALUE")) {
    parm->fn->text = value->text;
    parm->fn->origin = value->origin;
  }
  return parm;
}

}  // namespace

// Both are read keeping their texts: a parameter's VALUE is text substituted verbatim into
// other expressions and need not compile on its own, so it must not be lost for that. Every
// WPARM comment is read, also after one that fails to parse, so none is left behind to be
// saved a second time as an ordinary comment.
bool read_fragment_header(html_element*& head_list, htdoc_fragment_header& header, const txl_prop_list* params) {
  header = htdoc_fragment_header();
  txl_prop_list wiz;
  bool found = read_directive(head_list, directive_wiz, wiz, mode_keep_text, params) != directive_found::absent;
  get_prop_string(wiz, "CLSID", header.clsid);
  get_prop_string(wiz, "NAME", header.name);
  get_prop_string(wiz, "DESC", header.desc);
  if (header.name.empty())
    header.name = "Obj";
  for (;;) {
    txl_prop_list props;
    if (read_directive(head_list, directive_wparm, props, mode_keep_text, params) == directive_found::absent)
      return found;
    rc_ptr<htdoc_wparm> parm = make_wparm(props);
    if (!parm->fn->name.empty())
      header.params.push_back(std::move(parm));
  }
}

void write_fragment_header(html_element*& head_list, const htdoc_fragment_header& header) {
  if (header.clsid.empty())
    return;
  txl_prop_list wiz;
  set_prop_string("CLSID", header.clsid, wiz);
  set_prop_string("NAME", header.name, wiz);
  set_prop_string("DESC", header.desc, wiz);
  write_directive_list(head_list, directive_wiz, wiz, true);
  for (const rc_ptr<htdoc_wparm>& parm : header.params) {
    if (!parm)
      continue;
    txl_prop_list props;
    std::pair<std::string_view, const std::string*> texts[] = {
        {"NAME", &parm->fn->name}, {"DESC", &parm->desc}, {"TYPE", &parm->type}, {"PROMPT", &parm->prompt}};
    for (const auto& [key, text] : texts)
      if (!text->empty())
        set_prop_string(key, *text, props);
    if (!parm->fn->text.empty())
      props.push_back(make_rc<txl_user_function>("VALUE", parm->fn->text));
    write_directive_list(head_list, directive_wparm, props, true);
  }
}

txl_prop_list fragment_param_list(const htdoc_fragment_header& header) {
  txl_prop_list list;
  for (const rc_ptr<htdoc_wparm>& parm : header.params)
    if (parm && parm->fn)
      list.push_back(parm->fn);
  return list;
}

// n runs at most one past the number of variables, since each variable rules out one n.
std::string fragment_instance_id(std::string_view fragment_name, const txl_prop_list& variables) {
  for (std::size_t n = 1;; ++n) {
    std::string id = std::string(fragment_name) + std::to_string(n);
    std::string prefix = id + ".";
    bool taken = false;
    for (const rc_ptr<txl_user_function>& v : variables)
      taken = taken || (v && v->name.compare(0, prefix.size(), prefix) == 0);
    if (!taken)
      return id;
  }
}

}  // namespace quillet
