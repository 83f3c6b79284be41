// `quillet edit` in the report program. The editor's server and the libraries it brings (HTTP,
// TLS, compression: about 9M instructions of loading and set-up per process) live in
// quillet-edit beside this program, so that a report, a check or an evaluation starts
// without them. The run is handed over whole: same process, same arguments.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/commands.h"

namespace quillet::editor {

// Never returns when quillet-edit starts; otherwise says why and returns 1.
int run_edit(const std::vector<std::string>&) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) {
    std::fprintf(stderr, "quillet edit: cannot find the program's path: %s\n", ec.message().c_str());
    return 1;
  }
  std::string editor = (self.parent_path() / "quillet-edit").string();
  std::span<char* const> given = app::program_arguments();
  std::vector<char*> argv{editor.data()};
  if (!given.empty())
    argv.insert(argv.end(), given.begin() + 1, given.end());
  argv.push_back(nullptr);
  std::fflush(nullptr);
  execv(editor.c_str(), argv.data());
  std::fprintf(stderr, "quillet edit: cannot start the editor program %s: %s\n", editor.c_str(),
               std::strerror(errno));
  return 1;
}

}  // namespace quillet::editor
