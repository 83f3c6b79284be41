// The fragments folder of the editor and the markup a fragment inserts.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "doc/template_markup.h"

namespace quillet::editor {

// The first existing folder of: the program's folder + "fragments/" + the two-letter
// language, then + "fragments/en", then + "fragments"; the same again under `source_dir`
// (a program run from its build tree finds the fragments of its source tree). Empty when
// there is none.
std::string fragments_folder(const std::string& program_dir, const std::string& source_dir,
                             const std::string& language);

// A fragment file read for insertion into a document whose variables are `target_variables`
// and whose element definitions number `base`: {"html": the markup of its body with the
// elements that have a definition numbered VXDYNELT="base + 1" upward, "definitions",
// "variables": the fragment's variables the document lacks, "conflicts": names of fragment
// variables the document already holds with another expression (the document's are kept),
// "fragment": its header, "id": the value of ID}. The fragment's variables and definitions
// have the wizard's `values` (and ID) substituted for their "{$NAME}" references. Nothing,
// with `error`, when it cannot be read or is no HTML document.
std::optional<nlohmann::json> load_fragment(const std::string& path, int base, const txl_prop_list& values,
                                            const txl_prop_list& target_variables, std::string& error);

}  // namespace quillet::editor
