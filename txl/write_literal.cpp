// Values written back as expression source text, for the expression builders and the
// command line's printing of results.
#include <cstdio>
#include <unordered_set>

#include "platform/crt/printf_format.h"
#include "txl/anyval.h"

namespace quillet {

namespace {

// One call writes at most this much; a value shared many times over inside nested vectors
// could otherwise ask for an exponential amount of text.
constexpr std::size_t literal_limit = std::size_t{1} << 26;

const char* int_format(unsigned flags) {
  if (flags & literal_hex)
    return "%#X";
  if (flags & literal_unsigned)
    return "%u";
  return "%d";
}

const char* float_format(unsigned flags) {
  if (flags & literal_fixed)
    return "%f";
  if (flags & literal_exp)
    return "%e";
  return "%g";
}

// Writes a value that is not a vector; false for an empty value or an unknown kind.
bool write_scalar(const anyval& value, unsigned flags, std::string& out) {
  switch (value.type()) {
  case type_int: {
    std::int32_t v = 0;
    value.to_int(v);
    return crt::format_int(int_format(flags), v, out);
  }
  case type_float: {
    double v = 0.0;
    value.to_double(v);
    return crt::format_double(float_format(flags), v, out);
  }
  case type_string: {
    const std::string* text = value.as_string();
    out += '"';
    write_string_literal_body(text ? *text : std::string(), out);
    out += '"';
    return true;
  }
  default:
    return false;
  }
}

// A vector being written, and how far.
struct open_list {
  const anyval_list* list;
  std::size_t next;
};

}  // namespace

void write_string_literal_body(std::string_view text, std::string& out) {
  for (char ch : text) {
    auto byte = static_cast<unsigned char>(ch);
    switch (byte) {
    case '"': out += "\\\""; continue;
    case '\'': out += "\\'"; continue;
    case '\\': out += "\\\\"; continue;
    case '\t': out += "\\t"; continue;
    case '\n': out += "\\n"; continue;
    case '\r': out += "\\r"; continue;
    default: break;
    }
    if (byte >= 0x20) {
      out += ch;
      continue;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04X", byte);
    out += buf;
  }
}

// Vectors are walked with an explicit stack, so nesting depth costs heap, not call stack.
// A vector that contains itself (possible through indexed assignment) would never end; it
// fails like an empty element does, keeping what was written.
bool write_literal(const anyval& value, unsigned flags, std::string& out) {
  if (value.type() != type_vector)
    return write_scalar(value, flags, out);
  std::size_t start = out.size();
  std::vector<open_list> stack;
  std::unordered_set<const anyval_list*> open;
  const anyval_list* first = value.as_vector();
  if (!first)
    return false;
  out += "LIST(";
  stack.push_back({first, 0});
  open.insert(first);
  while (!stack.empty()) {
    open_list& top = stack.back();
    if (top.next == top.list->size()) {
      out += ')';
      open.erase(top.list);
      stack.pop_back();
      continue;
    }
    if (top.next > 0)
      out += ',';
    const anyval& e = (*top.list)[top.next++];
    if (out.size() - start > literal_limit)
      return false;
    if (e.type() != type_vector) {
      if (!write_scalar(e, flags, out))
        return false;
      continue;
    }
    const anyval_list* inner = e.as_vector();
    if (!inner || !open.insert(inner).second)
      return false;
    out += "LIST(";
    stack.push_back({inner, 0});
  }
  return true;
}

}  // namespace quillet
