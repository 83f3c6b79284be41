// Resolving a path and checking it against a folder.
#include "platform/files/contained_path.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace quillet::files {

namespace {

// The path with links and ".." resolved; false with the system's reason.
bool real_path(const std::string& path, std::string& out, std::string& error) {
  char buffer[PATH_MAX];
  if (!::realpath(path.c_str(), buffer)) {
    error = std::strerror(errno);
    return false;
  }
  out = buffer;
  return true;
}

}  // namespace

// Both sides are resolved, so a folder reached through a link still holds its own files,
// and "/a/bc" is not taken for a file under "/a/b".
bool resolve_inside(const std::string& path, const std::string& folder, std::string& resolved, std::string& error) {
  std::string base;
  if (!real_path(folder.empty() ? std::string(".") : folder, base, error) || !real_path(path, resolved, error))
    return false;
  if (base.back() != '/')
    base += '/';
  if (resolved.compare(0, base.size(), base) == 0 || resolved + '/' == base)
    return true;
  error = "it is outside the folder '" + base.substr(0, base.size() > 1 ? base.size() - 1 : 1) + "'";
  return false;
}

}  // namespace quillet::files
