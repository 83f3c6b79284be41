// Reading a template named on the command line, with a message for each way it can fail.
#include "app/template_input.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace quillet::app {

bool read_template_file(const char* command, const std::string& path, html_document& doc) {
  if (path == "-") {
    if (doc.read(std::cin))
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
  bool ok = doc.read(in);
  if (in.bad()) {
    std::fprintf(stderr, "quillet %s: cannot read '%s': a read error occurred.\n", command, path.c_str());
    return false;
  }
  if (!ok)
    std::fprintf(stderr, "quillet %s: '%s' is not an HTML document: its first element is not <HTML>.\n", command,
                 path.c_str());
  return ok;
}

}  // namespace quillet::app
