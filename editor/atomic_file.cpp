// The temporary-file-and-rename sequence of saving.
#include "editor/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace quillet::editor {

namespace {

// The folder part of a path ("." for a bare name).
std::string folder_of(const std::string& path) {
  std::filesystem::path p(path);
  return p.has_parent_path() ? p.parent_path().string() : std::string(".");
}

// Writes every byte through `write`, retrying after interruptions; false with errno set.
bool write_all(int fd, std::string_view bytes, const write_function& write) {
  while (!bytes.empty()) {
    long n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      if (n == 0)
        errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Flushes the folder's entry of the renamed file; a failure here loses nothing already
// renamed, so it is ignored.
void sync_folder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

write_function system_write() {
  return [](int fd, const char* data, std::size_t size) { return static_cast<long>(::write(fd, data, size)); };
}

bool write_file_atomically(const std::string& target, std::string_view bytes, std::string& error,
                           const write_function& write) {
  const std::string folder = folder_of(target);
  std::string temp = folder + "/.quillet-save-XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  int fd = ::mkstemp(name.data());
  if (fd < 0) {
    error = "cannot create a temporary file in '" + folder + "': " + std::strerror(errno);
    return false;
  }
  temp = name.data();
  struct stat old {};
  mode_t mode = 0644;
  if (::stat(target.c_str(), &old) == 0)
    mode = old.st_mode & 07777;
  else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  bool ok = ::fchmod(fd, mode) == 0 && write_all(fd, bytes, write) && ::fsync(fd) == 0;
  int saved = errno;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(temp.c_str(), target.c_str()) == 0) {
    sync_folder(folder);
    return true;
  }
  saved = ok ? errno : saved;
  ::unlink(temp.c_str());
  error = "cannot write '" + target + "': " + std::strerror(saved ? saved : EIO);
  return false;
}

}  // namespace quillet::editor
