// quillet: the command-line entry point; dispatches to the subcommands.
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "app/commands.h"
#include "platform/crt/user_language.h"

namespace quillet::app {

const std::vector<command>& command_table() {
  static const std::vector<command> table = {
      {"format", "read a template and write it back with the given printer flags", run_format},
      {"eval", "compile and evaluate one expression and print its value", run_eval},
      {"report", "produce a report from a template", run_report},
      {"check", "list the problems of a template's directives and expressions", run_check},
      {"edit", "start the template editor in the browser", editor::run_edit},
      {"import", "fill a history store from CSV exports or generated history", run_import},
      {"store", "upkeep of a history store (prune)", run_store},
  };
  return table;
}

bool wants_help(const arg_list& args) {
  for (const auto& a : args) {
    if (a == "--")
      return false;
    if (a == "--help" || a == "-h")
      return true;
  }
  return false;
}

}  // namespace quillet::app

namespace {

std::span<char* const> given_arguments;

}  // namespace

std::span<char* const> quillet::app::program_arguments() { return given_arguments; }

namespace {

void print_usage(FILE* out) {
  std::fprintf(out,
               "quillet: HTML report templates for VELMOR supervisory control\n\n"
               "usage: quillet COMMAND [OPTIONS]\n       quillet --version\n\ncommands:\n");
  for (const auto& c : quillet::app::command_table())
    std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
  std::fprintf(out, "\n'quillet COMMAND --help' describes a command.\n");
}

// Runs a command; memory running out anywhere in it ends the run with a message and exit 1.
// The command's output files are written under temporary names that unwinding removes, so
// no half-written file remains.
int run_command(const quillet::app::command& c, const quillet::app::arg_list& args) {
  try {
    return c.run(args);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  std::fprintf(stderr, "quillet %s: out of memory; the run was stopped and nothing was written.\n", c.name);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  given_arguments = {argv, static_cast<std::size_t>(argc)};
  if (argc < 2) {
    print_usage(stderr);
    return 2;
  }
  if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    print_usage(stdout);
    return 0;
  }
  if (!std::strcmp(argv[1], "--version")) {
    std::printf("quillet %s\n", QUILLET_VERSION);
    return 0;
  }
  quillet::crt::apply_user_codepage();
  quillet::app::arg_list args = quillet::app::split_option_values({argv + 2, argv + argc});
  std::vector<std::string_view> names;
  for (const auto& c : quillet::app::command_table()) {
    if (c.name == std::string(argv[1]))
      return run_command(c, args);
    names.push_back(c.name);
  }
  std::string hint = quillet::app::did_you_mean(argv[1], names);
  std::fprintf(stderr, "quillet: unknown command '%s'%s 'quillet --help' lists the commands.\n", argv[1],
               hint.empty() ? ";" : hint.c_str());
  return 2;
}
