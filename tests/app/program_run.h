// Running the built quillet program as a user would: in a given folder, with a fixed
// environment, its standard output and error kept for the test to compare.
#pragma once

#include <string>
#include <vector>

namespace quillet::test {

struct program_result {
  int exit_code = -1;  // the exit status, or 128 + the signal that ended the program
  std::string out;
  std::string err;
};

// Runs `program` with `args` in the folder `dir`, standard input empty, TZ and the other
// variables in `env` as the whole environment; output is collected through files beside `dir`.
program_result run_program(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                           const std::vector<std::string>& env);

// The regular files under `dir`, as paths relative to it, sorted.
std::vector<std::string> files_under(const std::string& dir);

// The whole content of a file; empty when it cannot be read.
std::string file_text(const std::string& path);

}  // namespace quillet::test
