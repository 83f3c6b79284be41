// Listing a folder for the page's file chooser.
#include "editor/file_listing.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace quillet::editor {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

std::string lower_extension(const std::string& name) {
  std::string ext = fs::path(name).extension().string();
  for (char& c : ext)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext;
}

// The file clock and the system clock differ by a constant: convert through "now" of both.
long long seconds_since_1970(fs::file_time_type t) {
  auto system = std::chrono::system_clock::now() + (t - fs::file_time_type::clock::now());
  return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

}  // namespace

bool is_known_filter(const std::string& f) {
  return f == "html" || f == "htt" || f == "all" || f == "images" || f == "backgrounds" || f == "project";
}

bool filter_admits(const std::string& filter, const std::string& name) {
  const std::string ext = lower_extension(name);
  if (filter == "all")
    return true;
  if (filter == "html")
    return ext == ".html" || ext == ".htm";
  if (filter == "htt")
    return ext == ".htt";
  if (filter == "project")
    return ext == ".json";
  if (filter == "images")
    return ext == ".png" || ext == ".gif" || ext == ".jpg" || ext == ".jpeg" || ext == ".bmp" || ext == ".svg";
  if (filter == "backgrounds")
    return ext == ".gif" || ext == ".jpg" || ext == ".png" || ext == ".xbm" || ext == ".bmp";
  return false;
}

std::optional<json> list_folder(const std::string& dir, const std::string& filter, std::string& error) {
  std::error_code ec;
  fs::path folder = fs::canonical(dir, ec);
  if (ec || !fs::is_directory(folder, ec)) {
    error = "'" + dir + "' is not a folder";
    return std::nullopt;
  }
  json folders = json::array(), files = json::array();
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.')
      continue;
    std::error_code entry_ec;
    bool is_dir = it->is_directory(entry_ec);
    if (!is_dir && (!it->is_regular_file(entry_ec) || !filter_admits(filter, name)))
      continue;
    json entry = {{"name", name}, {"dir", is_dir}, {"size", is_dir ? 0 : it->file_size(entry_ec)},
                  {"mtime", seconds_since_1970(it->last_write_time(entry_ec))}};
    (is_dir ? folders : files).push_back(std::move(entry));
  }
  if (ec) {
    error = "cannot list '" + folder.string() + "': " + ec.message();
    return std::nullopt;
  }
  auto by_name = [](const json& a, const json& b) { return a["name"].get<std::string>() < b["name"].get<std::string>(); };
  std::sort(folders.begin(), folders.end(), by_name);
  std::sort(files.begin(), files.end(), by_name);
  for (auto& f : files)
    folders.push_back(std::move(f));
  json parent = folder == folder.root_path() ? json(nullptr) : json(folder.parent_path().string());
  return json{{"dir", folder.string()}, {"parent", parent}, {"entries", folders}};
}

}  // namespace quillet::editor
