// Writing a file so that a failure never destroys what was there: the bytes go to a
// temporary file in the target's folder, which is flushed to the disk and renamed over the
// target only when every byte was written.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quillet::editor {

// Writes `size` bytes to the open descriptor; the count written, or -1 with errno set, as
// write(2) does. Tests put a failing one in its place.
using write_function = std::function<long(int fd, const char* data, std::size_t size)>;

// write(2) itself.
write_function system_write();

// Replaces `target` by `bytes`; false with `error` naming the file and the reason. A new
// file gets mode 0644 less the umask; an existing one keeps its permissions. Nothing of the
// temporary file is left behind on failure.
bool write_file_atomically(const std::string& target, std::string_view bytes, std::string& error,
                           const write_function& write = system_write());

}  // namespace quillet::editor
