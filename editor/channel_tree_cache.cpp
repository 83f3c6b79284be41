// One remembered channel map, keyed by the project file's path, size and modification time.
#include "editor/channel_tree_cache.h"

#include <sys/stat.h>

#include <mutex>

#include "editor/channel_tree.h"

namespace quillet::editor {

namespace {

struct file_stamp {
  std::string path;
  long long size = -1, mtime_ns = -1;
  bool operator==(const file_stamp&) const = default;
};

// The stamp of a regular file; size -1 when it cannot be read.
file_stamp stamp_of(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return {path};
  return {path, static_cast<long long>(st.st_size),
          static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

}  // namespace

std::shared_ptr<const std::string> cached_channel_tree(const std::string& project_path) {
  static std::mutex mutex;
  static file_stamp kept;
  static std::shared_ptr<const std::string> text;
  file_stamp now = stamp_of(project_path);
  if (now.size < 0)
    return nullptr;
  std::lock_guard lock(mutex);
  if (text && now == kept)
    return text;
  nlohmann::json tree = channel_tree(project_path);
  if (!tree["loaded"].get<bool>())
    return nullptr;
  kept = now;
  text = std::make_shared<const std::string>(tree.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  return text;
}

}  // namespace quillet::editor
