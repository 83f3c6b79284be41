// The request rules of the editor's server.
#include "editor/request_guard.h"

#include "editor/random_hex.h"

namespace quillet::editor {

namespace {

// Our own addresses: the three loopback spellings with our port.
bool is_our_host(std::string_view host, int port) {
  const std::string p = ":" + std::to_string(port);
  return host == "127.0.0.1" + p || host == "localhost" + p || host == "[::1]" + p;
}

}  // namespace

guard_verdict check_request_site(const header_lookup& header, int port) {
  std::optional<std::string> host = header("Host");
  if (!host || !is_our_host(*host, port))
    return {false, "This server answers only requests for its own loopback address."};
  std::optional<std::string> origin = header("Origin");
  if (origin && !(origin->rfind("http://", 0) == 0 && is_our_host(origin->substr(7), port)))
    return {false, "Requests from other sites are refused."};
  std::optional<std::string> site = header("Sec-Fetch-Site");
  if (site && (*site == "cross-site" || *site == "same-site"))
    return {false, "Requests from other sites are refused."};
  return {};
}

std::string cookie_value(std::string_view cookie_header, std::string_view name) {
  std::size_t pos = 0;
  while (pos < cookie_header.size()) {
    std::size_t end = cookie_header.find(';', pos);
    if (end == std::string_view::npos)
      end = cookie_header.size();
    std::string_view item = cookie_header.substr(pos, end - pos);
    while (!item.empty() && item.front() == ' ')
      item.remove_prefix(1);
    if (item.size() > name.size() && item.substr(0, name.size()) == name && item[name.size()] == '=')
      return std::string(item.substr(name.size() + 1));
    pos = end + 1;
  }
  return {};
}

guard_verdict check_request_session(const header_lookup& header, std::string_view path,
                                    std::string_view session_id) {
  std::optional<std::string> cookies = header("Cookie");
  if (!cookies || !same_secret(cookie_value(*cookies, "quillet_session"), session_id))
    return {false, "Open the editor with the address that quillet edit printed."};
  if (path.rfind("/api/", 0) != 0)
    return {};
  std::optional<std::string> marker = header("X-Quillet");
  if (!marker || *marker != "1")
    return {false, "API requests need the header X-Quillet: 1."};
  return {};
}

}  // namespace quillet::editor
