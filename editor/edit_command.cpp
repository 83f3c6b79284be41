// quillet edit: serves the editor on 127.0.0.1 and opens the user's browser on it. Runs until
// SIGINT or SIGTERM, or until the page's File Exit.
#include "editor/edit_command.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "editor/document.h"
#include "editor/editor_server.h"

extern char** environ;

namespace quillet::editor {

namespace {

const char edit_usage[] =
    "usage: quillet edit [FILE] [--project FILE] [--port N] [--no-browser]\n\n"
    "Starts the template editor: a server on 127.0.0.1 (a free port unless --port) that the\n"
    "browser shows. The first line printed is the editor's address with its access token;\n"
    "the browser is opened on it unless --no-browser. FILE is opened first; --project\n"
    "preselects its project. Runs until interrupted (Ctrl+C) or until File Exit.\n"
    "QUILLET_WEB_DIR=DIR serves the page from DIR instead of the program (development).\n";

struct edit_options {
  editor_config config;
  bool browser = true;
};

bool parse_edit_args(const std::vector<std::string>& args, edit_options& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool takes_value = a == "--project" || a == "--port";
    if (takes_value && i + 1 >= args.size()) {
      std::fprintf(stderr, "quillet edit: %s needs a value.\n", a.c_str());
      return false;
    }
    if (a == "--project") {
      o.config.project = args[++i];
    } else if (a == "--port") {
      const std::string& v = args[++i];
      int port = v.size() <= 5 && v.find_first_not_of("0123456789") == std::string::npos && !v.empty() ? std::atoi(v.c_str()) : 0;
      if (port < 1 || port > 65535) {
        std::fprintf(stderr, "quillet edit: '%s' is not a port for --port (1 to 65535).\n", v.c_str());
        return false;
      }
      o.config.port = port;
    } else if (a == "--no-browser") {
      o.browser = false;
    } else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "quillet edit: unknown option '%s'.\n", a.c_str());
      return false;
    } else if (o.config.file.empty()) {
      o.config.file = a;
    } else {
      std::fprintf(stderr, "quillet edit: only one FILE may be given ('%s' is extra).\n", a.c_str());
      return false;
    }
  }
  return true;
}

// Starts xdg-open on the address without waiting for the browser; a failure is reported,
// the editor runs on (the address is printed).
void open_browser(const std::string& address) {
  pid_t pid = 0;
  const char* argv[] = {"xdg-open", address.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  int rc = posix_spawnp(&pid, "xdg-open", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    std::fprintf(stderr, "quillet edit: cannot start a browser (xdg-open: %s); open the address above.\n",
                 std::strerror(rc));
    return;
  }
  // Reaped by a thread of its own, so that no zombie stays while the editor runs.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
}

// Blocks SIGINT and SIGTERM in every thread and stops the server from a thread that waits
// for them; a request to exit raises SIGTERM for the same path.
std::thread watch_signals(editor_server& server, sigset_t& set) {
  return std::thread([&server, set] {
    int sig = 0;
    sigwait(&set, &sig);
    server.stop();
  });
}

}  // namespace

int run_edit(const std::vector<std::string>& args) {
  if (std::find(args.begin(), args.end(), "--help") != args.end() || std::find(args.begin(), args.end(), "-h") != args.end()) {
    std::fputs(edit_usage, stdout);
    return 0;
  }
  edit_options o;
  if (!parse_edit_args(args, o))
    return 2;
  if (const char* dir = std::getenv("QUILLET_WEB_DIR"))
    o.config.web_dir = dir;
  // A shell starts a background job with SIGINT ignored; an ignored signal never becomes
  // pending, so the defaults come back before the signals are blocked for sigwait.
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);
  o.config.on_exit = [] { kill(getpid(), SIGTERM); };
  editor_server server(o.config);
  std::string error;
  if (!server.bind(error)) {
    std::fprintf(stderr, "quillet edit: %s.\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", server.start_address().c_str());
  std::fflush(stdout);
  if (!o.config.file.empty() && !open_start_document(server.context(), error))
    std::fprintf(stderr, "quillet edit: Error opening document: %s.\n", error.c_str());
  if (o.browser)
    open_browser(server.start_address());
  std::thread watcher = watch_signals(server, set);
  server.run();  // returns once the watcher has stopped it
  watcher.join();
  return 0;
}

}  // namespace quillet::editor
