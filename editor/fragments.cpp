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

}  // namespace

std::optional<json> load_fragment(const std::string& path, int base, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  rc_ptr<html_document> doc = make_rc<html_document>();
  if (!in || !doc->read(in) || !doc->body) {
    error = "'" + path + "' cannot be read as a fragment";
    return std::nullopt;
  }
  template_markup_state state;
  apply_load_conventions(*doc, state);
  renumber(*doc->body, base);
  json st = state_json(state);
  json out = {{"html", body_markup(*doc->body)}, {"definitions", st["definitions"]},
              {"variables", st["variables"]}, {"fragment", st["fragment"]}};
  doc->clear();
  return out;
}

}  // namespace quillet::editor
