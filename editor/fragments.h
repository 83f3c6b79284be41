// The fragments folder of the editor and the markup a fragment inserts.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace quillet::editor {

// The first existing folder of: the program's folder + "fragments/" + the two-letter
// language, then + "fragments/en", then + "fragments"; the same again under `source_dir`
// (a program run from its build tree finds the fragments of its source tree). Empty when
// there is none.
std::string fragments_folder(const std::string& program_dir, const std::string& source_dir,
                             const std::string& language);

// A fragment file read for insertion: {"html": the markup of its body with the elements that
// have a definition numbered VXDYNELT="base + 1" upward, "definitions", "variables",
// "fragment"}. Nothing, with `error`, when it cannot be read or is no HTML document.
std::optional<nlohmann::json> load_fragment(const std::string& path, int base, std::string& error);

}  // namespace quillet::editor
