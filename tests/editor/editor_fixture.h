// A real editor server on a loopback port for the route tests, with a scratch folder for its
// settings and files, and a client that speaks as the page does (cookie, X-Quillet, tab).
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include "editor/editor_server.h"

namespace quillet::editor {

class editor_fixture : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Starts the server with `config` completed by the scratch folders; takes the session.
  void start(editor_config config = {});

  // The headers of a request from the page; `tab` false leaves out X-Quillet-Tab.
  httplib::Headers page_headers(bool tab = true) const;
  // GET or POST from the page; the status and the parsed JSON body (null when none).
  int get(const std::string& path, nlohmann::json* out = nullptr);
  int post(const std::string& path, const nlohmann::json& body, nlohmann::json* out = nullptr);
  // Writes a scratch file and returns its path.
  std::string write_file(const std::string& name, const std::string& bytes);
  static std::string read_file(const std::string& path);

  std::filesystem::path dir;
  std::unique_ptr<editor_server> server;
  std::unique_ptr<httplib::Client> client;
  std::thread runner;
  std::string cookie;
  std::string tab;
};

}  // namespace quillet::editor
