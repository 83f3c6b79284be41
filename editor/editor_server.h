// The editor's local web server: binds 127.0.0.1, answers the page and its API through the
// route table, and runs until stopped. Owns the document session's context.
#pragma once

#include <memory>
#include <string>

#include "editor/editor_context.h"

namespace httplib {
class Server;
}

namespace quillet::editor {

class editor_server {
public:
  explicit editor_server(editor_config config);
  ~editor_server();
  editor_server(const editor_server&) = delete;
  editor_server& operator=(const editor_server&) = delete;

  // Makes the secrets, reads the settings and binds 127.0.0.1 on the configured port (a free
  // one for 0); false with `error` when any of that fails.
  bool bind(std::string& error);
  // The start address: http://127.0.0.1:PORT/?token=TOKEN.
  std::string start_address() const;
  int port() const { return ctx_.port; }
  // Answers requests until stop(); then removes the preview's files.
  void run();
  // Ends run(); safe from any thread.
  void stop();
  editor_context& context() { return ctx_; }

private:
  std::unique_ptr<httplib::Server> http_;
  editor_context ctx_;
};

}  // namespace quillet::editor
