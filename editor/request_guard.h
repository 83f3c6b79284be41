// The rules every request to the editor's server passes before any route sees it: the Host
// must be our loopback address and port (no DNS rebinding), an Origin must be ours, the
// browser must not call it cross-site, the session cookie must be present, and API calls
// carry the header X-Quillet: 1 that a plain form or link cannot send.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::editor {

// Looks up a request header by name; nothing when absent.
using header_lookup = std::function<std::optional<std::string>(std::string_view name)>;

struct guard_verdict {
  bool ok = true;
  std::string reason;  // why the request was refused
};

// Host, Origin and Sec-Fetch-Site of a request to a server on `port`.
guard_verdict check_request_site(const header_lookup& header, int port);

// The value of the cookie `name` in a Cookie header ("a=1; b=2"), or empty.
std::string cookie_value(std::string_view cookie_header, std::string_view name);

// The session cookie and, for paths under /api/, the X-Quillet header.
guard_verdict check_request_session(const header_lookup& header, std::string_view path,
                                    std::string_view session_id);

}  // namespace quillet::editor
