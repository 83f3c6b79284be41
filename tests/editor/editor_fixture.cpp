// The route tests' server and client.
#include "editor_fixture.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

namespace quillet::editor {

using nlohmann::json;

void editor_fixture::SetUp() {
  // The program finds the demo project beside itself; the tests' program lies elsewhere.
  ::setenv("QUILLET_DEMO_PROJECT", QUILLET_EXAMPLES "/demo_project.json", 0);
  std::string pattern = (std::filesystem::temp_directory_path() / "quillet-editor-test-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  dir = pattern;
}

void editor_fixture::TearDown() {
  if (server) {
    server->stop();
    runner.join();
  }
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

void editor_fixture::start(editor_config config) {
  config.config_home = (dir / "config").string();
  config.data_home = (dir / "data").string();
  server = std::make_unique<editor_server>(std::move(config));
  std::string error;
  ASSERT_TRUE(server->bind(error)) << error;
  runner = std::thread([this] { server->run(); });
  client = std::make_unique<httplib::Client>("127.0.0.1", server->port());
  std::string address = server->start_address();
  auto res = client->Get(address.substr(address.find("/?token=")).c_str());
  ASSERT_TRUE(res);
  ASSERT_EQ(res->status, 303);
  std::string set_cookie = res->get_header_value("Set-Cookie");
  cookie = set_cookie.substr(0, set_cookie.find(';'));
  json session;
  ASSERT_EQ(post("/api/session", {{"takeover", false}}, &session), 200);
  tab = session["tab"];
}

httplib::Headers editor_fixture::page_headers(bool with_tab) const {
  httplib::Headers h = {{"Cookie", cookie}, {"X-Quillet", "1"}};
  if (with_tab)
    h.emplace("X-Quillet-Tab", tab);
  return h;
}

int editor_fixture::get(const std::string& path, json* out) {
  auto res = client->Get(path.c_str(), page_headers());
  if (!res)
    return -1;
  if (out)
    *out = json::parse(res->body, nullptr, false);
  return res->status;
}

int editor_fixture::post(const std::string& path, const json& body, json* out) {
  auto res = client->Post(path.c_str(), page_headers(), body.dump(), "application/json");
  if (!res)
    return -1;
  if (out)
    *out = json::parse(res->body, nullptr, false);
  return res->status;
}

std::string editor_fixture::write_file(const std::string& name, const std::string& bytes) {
  std::filesystem::path p = dir / name;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
  return p.string();
}

std::string editor_fixture::read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace quillet::editor
