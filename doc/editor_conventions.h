// What the editor does to a template's tree when it opens and saves it. While a template is
// edited its directive comments live outside the tree, in a template_markup_state: settings,
// title, fragment header, variables, and the element definitions that the "VXDYNELT"
// attributes of the edited HTML number from 1. The state owns its properties.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "doc/html_document.h"
#include "doc/template_markup.h"

namespace quillet {

struct template_markup_state {
  std::string project;  // DOC setting PRJ
  int refresh = 0;      // DOC setting REFRESH, seconds
  std::string store;    // DOC setting STORE, the history store; written only when set
  std::string title;    // the TITLE text, entities decoded
  htdoc_fragment_header fragment;
  txl_prop_list variables;
  std::vector<txl_prop_list> definitions;  // "VXDYNELT" n refers to definitions[n - 1]
};

// Moves the directives out of a freshly read document into `state` (which is reset first) and
// marks every element whose definition was read with a "VXDYNELT" attribute.
void apply_load_conventions(html_document& doc, template_markup_state& state);
// apply_load_conventions for a fragment being inserted into a document whose variables are
// `target_variables`: the names and texts of its variables and its element definitions have
// every "{$NAME}" replaced by the parameter's value, where the parameters are ID (the
// fragment's name and the first number no target variable uses as "name n.") and the
// fragment's wizard parameters with the text `values` gives under their name, else their
// default. Returns that parameter list, ID first.
txl_prop_list apply_fragment_load_conventions(html_document& doc, template_markup_state& state,
                                              const txl_prop_list& values, const txl_prop_list& target_variables);
// Puts the directives of `state` back into a document parsed from the edited HTML and removes
// the "VXDYNELT" attributes. `language` is the user's language ("ru", "ru_RU.UTF-8", "ru-RU"
// and the like); Russian adds the windows-1251 Content-Type META when HEAD has none.
void apply_save_conventions(html_document& doc, const template_markup_state& state, std::string_view language);
// apply_save_conventions, then the document written as the editor saves it (printer flags 6).
void save_template(html_document& doc, const template_markup_state& state, std::string_view language,
                   std::ostream& out);

// Whether a language setting names Russian: its primary subtag is "ru", in any case.
bool is_russian_language(std::string_view language);

}  // namespace quillet
