// Runs the program under test in a child process (fork, chdir, exec) and collects its output.
#include "tests/app/program_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillet::test {

namespace {

// In the child: the folder, the three standard streams, then the program; never returns.
[[noreturn]] void exec_child(const std::string& program, std::vector<char*>& argv, std::vector<char*>& envp,
                             const std::string& dir, const std::string& out_path, const std::string& err_path) {
  int in = ::open("/dev/null", O_RDONLY);
  int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0 || err < 0 || ::chdir(dir.c_str()) != 0)
    ::_exit(126);
  ::dup2(in, 0);
  ::dup2(out, 1);
  ::dup2(err, 2);
  ::execve(program.c_str(), argv.data(), envp.data());
  ::_exit(127);
}

std::vector<char*> c_strings(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (std::string& s : strings)
    out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

program_result run_program(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                           const std::vector<std::string>& env) {
  std::vector<std::string> argv_strings{program};
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<std::string> env_strings = env;
  std::vector<char*> argv = c_strings(argv_strings);
  std::vector<char*> envp = c_strings(env_strings);
  const std::string out_path = dir + ".out";
  const std::string err_path = dir + ".err";
  program_result result;
  pid_t pid = ::fork();
  if (pid == 0)
    exec_child(program, argv, envp, dir, out_path, err_path);
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
    return result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = file_text(out_path);
  result.err = file_text(err_path);
  std::filesystem::remove(out_path);
  std::filesystem::remove(err_path);
  return result;
}

std::vector<std::string> files_under(const std::string& dir) {
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
    if (e.is_regular_file())
      files.push_back(std::filesystem::relative(e.path(), dir).string());
  std::sort(files.begin(), files.end());
  return files;
}

std::string file_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace quillet::test
