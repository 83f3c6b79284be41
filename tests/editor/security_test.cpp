// Every request rule of the editor's server, one refused request each, against a real server.
#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace quillet::editor {
namespace {

using nlohmann::json;

struct refused_row {
  const char* rule;
  const char* method;
  std::string path;
  // Header changes against the page's own headers: a value of "" removes the header.
  std::vector<std::pair<std::string, std::string>> headers;
  int status;
};

class security_test : public editor_fixture {};

TEST_F(security_test, each_rule_refuses_its_request) {
  start();
  const std::string port = std::to_string(server->port());
  const std::string passwd = "/etc/passwd";
  const std::vector<refused_row> rows = {
      {"no cookie for the page", "GET", "/", {{"Cookie", ""}}, 403},
      {"wrong token", "GET", "/?token=00000000000000000000000000000000", {{"Cookie", ""}}, 403},
      {"wrong cookie", "GET", "/api/state", {{"Cookie", "quillet_session=1234"}}, 403},
      {"no cookie for a page file", "GET", "/web/app.js", {{"Cookie", ""}}, 403},
      {"no cookie for an unknown path", "GET", "/etc/passwd", {{"Cookie", ""}}, 403},
      {"API without X-Quillet", "GET", "/api/state", {{"X-Quillet", ""}}, 403},
      {"foreign Host (DNS rebinding)", "GET", "/api/state", {{"Host", "evil.example:" + port}}, 403},
      {"loopback Host with another port", "GET", "/api/state", {{"Host", "127.0.0.1:1"}}, 403},
      {"Origin of another site", "POST", "/api/new", {{"Origin", "http://evil.example"}}, 403},
      {"Origin of another local port", "POST", "/api/new", {{"Origin", "http://127.0.0.1:1"}}, 403},
      {"cross-site fetch", "GET", "/api/state", {{"Sec-Fetch-Site", "cross-site"}}, 403},
      {"same-site fetch (another port)", "GET", "/api/state", {{"Sec-Fetch-Site", "same-site"}}, 403},
      {"change without the tab", "POST", "/api/new", {{"X-Quillet-Tab", ""}}, 409},
      {"change from a stale tab", "POST", "/api/new", {{"X-Quillet-Tab", "0123"}}, 409},
      {"GET cannot change anything", "GET", "/api/save", {}, 405},
      {"GET cannot exit", "GET", "/api/exit", {}, 405},
      {"no CORS preflight", "OPTIONS", "/api/save", {}, 405},
      {"page path climbing out", "GET", "/web/../../etc/passwd", {}, 404},
      {"page path with an encoded climb", "GET", "/web/%2e%2e/%2e%2e/etc/passwd", {}, 404},
      {"preview without its key", "GET", "/preview/0000/htp0.htm", {}, 404},
      {"JSON only", "POST", "/api/open", {{"Content-Type", "text/plain"}}, 415},
      {"listing with an unknown filter", "GET", "/api/files?dir=/etc&filter=bogus", {}, 400},
      {"fragment read of another file", "POST", "/api/fragment", {}, 400},
      {"open of a file that is no template", "POST", "/api/open", {}, 500},
  };
  for (const refused_row& row : rows) {
    SCOPED_TRACE(row.rule);
    httplib::Headers h = page_headers();
    for (const auto& [name, value] : row.headers) {
      h.erase(name);
      if (!value.empty())
        h.emplace(name, value);
    }
    const bool has_type = h.count("Content-Type") > 0;
    const std::string body = json{{"path", passwd}}.dump();
    httplib::Result res = std::string(row.method) == "GET"    ? client->Get(row.path.c_str(), h)
                          : std::string(row.method) == "POST" ? client->Post(row.path.c_str(), h, body,
                                                                             has_type ? h.find("Content-Type")->second.c_str()
                                                                                      : "application/json")
                                                              : client->Options(row.path.c_str(), h);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, row.status);
    EXPECT_EQ(res->body.find("root:"), std::string::npos);
    EXPECT_FALSE(res->has_header("Access-Control-Allow-Origin"));
    EXPECT_EQ(res->get_header_value("Cache-Control"), "no-store");
    EXPECT_EQ(res->get_header_value("X-Content-Type-Options"), "nosniff");
  }
}

TEST_F(security_test, token_gives_a_strict_http_only_cookie_and_listings_show_no_other_files) {
  start();
  std::string address = server->start_address();
  auto res = client->Get(address.substr(address.find("/?token=")).c_str());
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 303);
  EXPECT_EQ(res->get_header_value("Location"), "/");
  std::string c = res->get_header_value("Set-Cookie");
  EXPECT_NE(c.find("; HttpOnly"), std::string::npos);
  EXPECT_NE(c.find("; SameSite=Strict"), std::string::npos);
  EXPECT_EQ(address.substr(address.find("token=") + 6).size(), 32u);  // 128 bits

  write_file("list/a.html", "<HTML></HTML>");
  write_file("list/b.txt", "secret");
  write_file("list/.hidden.html", "<HTML></HTML>");
  write_file("list/sub/c.html", "<HTML></HTML>");
  json listing;
  ASSERT_EQ(get("/api/files?filter=html&dir=" + (dir / "list/sub/..").string(), &listing), 200);
  EXPECT_EQ(listing["dir"], std::filesystem::canonical(dir / "list").string());
  EXPECT_EQ(listing["entries"].size(), 2u);
  EXPECT_EQ(listing["entries"][0]["name"], "sub");
  EXPECT_EQ(listing["entries"][1]["name"], "a.html");
}

TEST_F(security_test, a_second_tab_is_told_and_may_take_over_and_the_first_then_cannot_save) {
  start();
  const std::string first = tab;
  json answer;
  EXPECT_EQ(post("/api/session", {{"takeover", false}}, &answer), 409);
  EXPECT_EQ(answer["busy"], true);
  ASSERT_EQ(post("/api/session", {{"takeover", true}}, &answer), 200);
  const std::string second = answer["tab"];
  tab = first;
  EXPECT_EQ(post("/api/save", {{"path", (dir / "x.html").string()}, {"html", "<HTML></HTML>"}}, &answer), 409);
  EXPECT_EQ(answer["stale"], true);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.html"));
  tab = second;
  EXPECT_EQ(post("/api/new", json::object()), 200);
}

}  // namespace
}  // namespace quillet::editor
