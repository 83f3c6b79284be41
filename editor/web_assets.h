// The page's files, embedded in the program at build time, and where they are served from:
// the embedded table, or a folder on disk named by QUILLET_WEB_DIR during development.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace quillet::editor {

struct web_asset {
  const char* path;  // relative to the page's folder, "/" separated; null ends the table
  const char* mime;
  std::string_view bytes;
};

// The generated table, ended by a row with a null path.
const web_asset* embedded_web_assets();

struct web_file {
  std::string mime;
  std::string bytes;
};

// The MIME type served for a file name's extension (".js" is text/javascript, so that the
// browser takes it as a module); application/octet-stream for an unknown one.
std::string_view web_mime_type(std::string_view name);

// The file `path` (relative, "/" separated) of the page: from `disk_dir` when it is not
// empty, else from the embedded table. Nothing when there is no such file or the path
// climbs out of the folder.
std::optional<web_file> find_web_file(std::string_view path, const std::string& disk_dir);

// The page's string table for `language` ("en", "it", ...): that language's texts over the
// English ones, so that a key it lacks still has a text. An object, empty when even the
// English table is missing or malformed.
nlohmann::json web_string_table(const std::string& language, const std::string& disk_dir);

}  // namespace quillet::editor
