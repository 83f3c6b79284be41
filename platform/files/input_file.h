// Reading an input file (template, project, list) whole: only a regular file is read, it is
// opened without blocking (a FIFO never holds the run), and its size is bounded before any
// of it is read.
#pragma once

#include <cstdint>
#include <string>

#include "platform/files/output_file.h"

namespace quillet::files {

// Reads the regular file at `path` of at most `max_bytes` bytes into `content`. On failure
// `error` says why: the system's reason ("Permission denied", "No such file or directory"),
// "it is a folder", "it is not a regular file (a device, FIFO or socket)" or "it is larger
// than N bytes". `identity`, when given, receives the file's device and inode.
bool read_regular_file(const std::string& path, std::uint64_t max_bytes, std::string& content, std::string& error,
                       file_identity* identity = nullptr);

}  // namespace quillet::files
