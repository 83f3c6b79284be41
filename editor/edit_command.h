// The `quillet edit` command: the editor's server for the command line. app/commands.h
// declares the same function for the program's command table, which links this library but
// does not include the editor's headers.
#pragma once

#include <string>
#include <vector>

namespace quillet::editor {

// Runs the command with the arguments after "edit"; the process exit code.
int run_edit(const std::vector<std::string>& args);

}  // namespace quillet::editor
