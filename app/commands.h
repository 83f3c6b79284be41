// The subcommands of the quillet program. Each takes the arguments after its own name and
// returns the process exit code; each answers --help.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::app {

using arg_list = std::vector<std::string>;

struct command {
  const char* name;
  const char* summary;
  int (*run)(const arg_list& args);
};

// The table the program dispatches on, in the order `quillet --help` lists them.
const std::vector<command>& command_table();

int run_format(const arg_list& args);
int run_eval(const arg_list& args);
int run_report(const arg_list& args);
int run_check(const arg_list& args);
int run_import(const arg_list& args);
int run_store(const arg_list& args);

// True when args hold --help or -h (before a "--").
bool wants_help(const arg_list& args);

// The arguments as the commands read them: "--opt=value" becomes "--opt", "value"; nothing
// after a "--" is touched.
arg_list split_option_values(const arg_list& args);

// "; did you mean 'X'?" for the known name nearest to a mistyped one (within two edits),
// empty when none is that near.
std::string did_you_mean(const std::string& given, const std::vector<std::string_view>& known);

}  // namespace quillet::app

// The arguments the program was started with (argv), for a command that hands the whole run
// to another program.
namespace quillet::app {
std::span<char* const> program_arguments();
}

// The editor's command: in quillet-edit the editor's own (editor/edit_command.h); in quillet
// the hand-over to quillet-edit (app/edit_launch.cpp).
namespace quillet::editor {
int run_edit(const std::vector<std::string>& args);
}
