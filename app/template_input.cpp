// Reading a template named on the command line, with a message for each way it can fail.
#include "app/template_input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace quillet::app {

// Reads the whole of a stream into `source`; false when reading failed.
static bool read_all(std::istream& in, std::string& source) {
  source.clear();
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
    source.append(chunk, static_cast<std::size_t>(in.gcount()));
  return !in.bad();
}

bool read_template_file(const char* command, const std::string& path, html_document& doc, std::string& source) {
  if (path == "-") {
    if (!read_all(std::cin, source)) {
      std::fprintf(stderr, "quillet %s: cannot read the standard input.\n", command);
      return false;
    }
    if (doc.read(source))
      return true;
    std::fprintf(stderr, "quillet %s: the standard input is not an HTML document: its first element is not <HTML>.\n",
                 command);
    return false;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    std::fprintf(stderr, "quillet %s: cannot read '%s': it is a folder.\n", command, path.c_str());
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "quillet %s: cannot read '%s': %s.\n", command, path.c_str(), std::strerror(errno));
    return false;
  }
  if (!read_all(in, source)) {
    std::fprintf(stderr, "quillet %s: cannot read '%s': a read error occurred.\n", command, path.c_str());
    return false;
  }
  bool ok = doc.read(source);
  if (!ok)
    std::fprintf(stderr, "quillet %s: '%s' is not an HTML document: its first element is not <HTML>.\n", command,
                 path.c_str());
  return ok;
}

const source_lines& template_places::lines() {
  if (!lines_)
    lines_ = std::make_unique<source_lines>(source_);
  return *lines_;
}

std::string template_places::prefix(std::uint32_t offset) { return source_place(file_, lines(), offset); }

}  // namespace quillet::app
