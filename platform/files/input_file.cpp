// Reading whole regular files with a bound on their size.
#include "platform/files/input_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::files {

namespace {

// Why a file of this type is not read, or empty for a regular file.
const char* refusal_of(mode_t mode) {
  if (S_ISREG(mode))
    return "";
  if (S_ISDIR(mode))
    return "it is a folder";
  return "it is not a regular file (a device, FIFO or socket)";
}

// Appends the rest of the open file to `content`, stopping with an error past `max_bytes`
// (the file may grow while it is read).
bool read_rest(int fd, std::uint64_t max_bytes, std::string& content, std::string& error) {
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      error = std::strerror(errno);
      return false;
    }
    if (n == 0)
      return true;
    if (content.size() + static_cast<std::size_t>(n) > max_bytes) {
      error = "it is larger than " + std::to_string(max_bytes) + " bytes";
      return false;
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
}

}  // namespace

// O_NONBLOCK keeps open() from waiting for a FIFO's writer; fstat then turns away anything
// that is not a regular file before a byte is read.
bool read_regular_file(const std::string& path, std::uint64_t max_bytes, std::string& content, std::string& error,
                       file_identity* identity) {
  content.clear();
  if (path.empty() || path.find('\0') != std::string::npos) {
    error = std::strerror(ENOENT);
    return false;
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0;
  error = ok ? refusal_of(st.st_mode) : std::strerror(errno);
  ok = ok && error.empty();
  if (ok && static_cast<std::uint64_t>(st.st_size) > max_bytes) {
    error = "it is larger than " + std::to_string(max_bytes) + " bytes";
    ok = false;
  }
  if (ok && identity)
    *identity = {st.st_dev, st.st_ino};
  if (ok)
    content.reserve(static_cast<std::size_t>(st.st_size));
  ok = ok && read_rest(fd, max_bytes, content, error);
  ::close(fd);
  return ok;
}

}  // namespace quillet::files
