// Finding the fragments folder and reading a fragment for insertion.
#include "editor/fragments.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "doc/editor_conventions.h"
#include "doc/html_attr_ops.h"
#include "doc/html_printer.h"
#include "editor/codepage_text.h"
#include "editor/document_json.h"

namespace quillet::editor {

namespace fs = std::filesystem;
using nlohmann::json;

std::string fragments_folder(const std::string& program_dir, const std::string& source_dir,
                             const std::string& language) {
  std::error_code ec;
  for (const std::string& root : {program_dir, source_dir}) {
    if (root.empty())
      continue;
    for (const std::string& sub : {"fragments/" + language, std::string("fragments/en"), std::string("fragments")})
      if (fs::is_directory(fs::path(root) / sub, ec))
        return (fs::path(root) / sub).lexically_normal().string();
  }
  return {};
}

namespace {

// Adds `base` to the number of every "VXDYNELT" attribute below `root`, without recursion.
void renumber(html_elt_tag& root, int base) {
  std::vector<html_element*> pending{root.children};
  while (!pending.empty()) {
    html_element* n = pending.back();
    pending.pop_back();
    for (; n; n = n->next) {
      if (n->kind != html_kind::tag)
        continue;
      auto& tag = static_cast<html_elt_tag&>(*n);
      if (html_attr* a = find_attr(tag.attrs, "VXDYNELT"))
        set_attr_int(tag.attrs, "VXDYNELT", setting_number(a->value.c_str()) + base);
      pending.push_back(tag.children);
    }
  }
}

// The body's children as the editor's HTML (UTF-8).
std::string body_markup(html_elt_tag& body) {
  std::ostringstream out;
  {
    html_obj_printer printer(out, 0);
    for (html_element* n = body.children; n; n = n->next)
      n->print(printer);
    printer.stream();
  }
  return ansi_to_utf8(out.str());
}

// The fragment's variables the target lacks; a name the target holds with another expression
// goes to `conflicts` instead, since replacing it would change what the document computes.
json new_variables(const txl_prop_list& fragment_vars, const txl_prop_list& target_variables, json& conflicts) {
  json out = json::array();
  for (const rc_ptr<txl_user_function>& v : fragment_vars) {
    const txl_user_function* held = find_prop(target_variables, v->name);
    if (held && held->text != v->text)
      conflicts.push_back(ansi_to_utf8(v->name));
    if (!held)
      out.push_back({{"name", ansi_to_utf8(v->name)}, {"expr", ansi_to_utf8(v->text)}});
  }
  return out;
}

}  // namespace

std::optional<json> load_fragment(const std::string& path, int base, const txl_prop_list& values,
                                  const txl_prop_list& target_variables, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  // A fragment of another language's library may be written in that language's code page.
  std::istringstream in(in_codepage_in_force(bytes.str()));
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!file || !doc->read(in) || !doc->body) {
    error = "'" + path + "' cannot be read as a fragment";
    return std::nullopt;
  }
  template_markup_state state;
  txl_prop_list params = apply_fragment_load_conventions(*doc, state, values, target_variables);
  renumber(*doc->body, base);
  json st = state_json(state);
  json conflicts = json::array();
  json out = {{"html", body_markup(*doc->body)},
              {"definitions", st["definitions"]},
              {"variables", new_variables(state.variables, target_variables, conflicts)},
              {"conflicts", conflicts},
              {"fragment", st["fragment"]},
              {"id", ansi_to_utf8(params.front()->text)}};
  doc->clear();
  return out;
}

}  // namespace quillet::editor
