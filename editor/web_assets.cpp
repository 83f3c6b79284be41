// Finding a file of the page in the embedded table or in the development folder.
#include "editor/web_assets.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quillet::editor {

namespace {

struct mime_row {
  std::string_view ext;
  std::string_view mime;
};

const mime_row mime_rows[] = {
    {".html", "text/html; charset=utf-8"}, {".js", "text/javascript; charset=utf-8"},
    {".mjs", "text/javascript; charset=utf-8"}, {".css", "text/css; charset=utf-8"},
    {".json", "application/json"}, {".svg", "image/svg+xml"}, {".png", "image/png"},
    {".gif", "image/gif"}, {".jpg", "image/jpeg"}, {".jpeg", "image/jpeg"}, {".bmp", "image/bmp"},
    {".ico", "image/x-icon"}, {".txt", "text/plain; charset=utf-8"},
    {".woff2", "font/woff2"},
};

// A relative path whose every segment is a plain name: no "..", ".", empty or hidden one.
bool is_plain_relative(std::string_view path) {
  if (path.empty() || path.front() == '/')
    return false;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos)
      end = path.size();
    std::string_view segment = path.substr(start, end - start);
    if (segment.empty() || segment.front() == '.' || segment.find('\\') != std::string_view::npos)
      return false;
    start = end + 1;
  }
  return path.find('\0') == std::string_view::npos;
}

}  // namespace

std::string_view web_mime_type(std::string_view name) {
  std::size_t dot = name.rfind('.');
  std::string ext(dot == std::string_view::npos ? "" : name.substr(dot));
  for (char& c : ext)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  for (const mime_row& row : mime_rows)
    if (row.ext == ext)
      return row.mime;
  return "application/octet-stream";
}

std::optional<web_file> find_web_file(std::string_view path, const std::string& disk_dir) {
  if (!is_plain_relative(path))
    return std::nullopt;
  if (disk_dir.empty()) {
    for (const web_asset* a = embedded_web_assets(); a->path; ++a)
      if (path == a->path)
        return web_file{a->mime, std::string(a->bytes)};
    return std::nullopt;
  }
  std::filesystem::path file = std::filesystem::path(disk_dir) / std::string(path);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec))
    return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in)
    return std::nullopt;
  return web_file{std::string(web_mime_type(path)), bytes.str()};
}

nlohmann::json web_string_table(const std::string& language, const std::string& disk_dir) {
  auto table_of = [&disk_dir](const std::string& code) {
    std::optional<web_file> file = find_web_file("strings/" + code + ".json", disk_dir);
    nlohmann::json table = file ? nlohmann::json::parse(file->bytes, nullptr, false) : nlohmann::json();
    return table.is_object() ? table : nlohmann::json::object();
  };
  nlohmann::json table = table_of("en");
  if (!language.empty() && language != "en")
    table.update(table_of(language));
  return table;
}

}  // namespace quillet::editor
