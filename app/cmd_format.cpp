// quillet format: read a template and write it back with the given printer flags.
#include <cstdio>

#include "app/commands.h"

namespace quillet::app {

int run_format(const arg_list& args) {
  if (wants_help(args)) {
    std::printf("usage: quillet format [--flags N] FILE [-o OUT]\n");
    return 0;
  }
  std::fprintf(stderr, "quillet format: not available yet\n");
  return 1;
}

}  // namespace quillet::app
