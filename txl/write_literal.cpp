// Values written back as expression source text, for the expression builders and the
// command line's printing of results.
#include <charconv>
#include <cstdio>
#include <unordered_set>

#include "platform/crt/printf_format.h"
#include "txl/anyval.h"

namespace quillet {

namespace {

// One call writes at most this much; a value shared many times over inside nested vectors
// could otherwise ask for an exponential amount of text.
constexpr std::size_t literal_limit = std::size_t{1} << 24;

// "%d" is written directly; only the unsigned and hexadecimal forms need the formatter.
const char* int_format(unsigned flags) {
  if (flags & literal_hex)
    return "%#X";
  return "%u";
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
    if (flags & (literal_hex | literal_unsigned))
      return crt::format_int(int_format(flags), v, out);
    char buf[16];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    return true;
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

// Writes vectors with an explicit stack of open lists, so nesting depth costs heap, not
// call stack. A vector that contains itself (possible through indexed assignment) would
// never end; meeting a list that is still open fails like an empty element does.
class vector_writer {
public:
  vector_writer(unsigned flags, std::string& out) : flags_(flags), out_(out), start_(out.size()) {}

  bool write(const anyval_list& list) {
    open(list);
    while (!stack_.empty()) {
      open_list& top = stack_.back();
      if (top.next == top.list->size()) {
        close();
        continue;
      }
      if (top.next > 0)
        out_ += ',';
      if (!write_element((*top.list)[top.next++]))
        return false;
    }
    return true;
  }

private:
  struct open_list {
    const anyval_list* list;
    std::size_t next;
  };

  void open(const anyval_list& list) {
    out_ += "LIST(";
    stack_.push_back({&list, 0});
    open_.insert(&list);
  }

  void close() {
    out_ += ')';
    open_.erase(stack_.back().list);
    stack_.pop_back();
  }

  // A scalar is written at once; a vector is opened and written by the loop.
  bool write_element(const anyval& e) {
    if (out_.size() - start_ > literal_limit)
      return false;
    if (e.type() != type_vector)
      return write_scalar(e, flags_, out_);
    const anyval_list* inner = e.as_vector();
    if (!inner || open_.count(inner))
      return false;
    open(*inner);
    return true;
  }

  unsigned flags_;
  std::string& out_;
  std::size_t start_;
  std::vector<open_list> stack_;
  std::unordered_set<const anyval_list*> open_;
};

}  // namespace

// The escape of one byte inside a string literal, or empty when the byte stands for itself.
static std::string_view escape_of(unsigned char byte, char (&buf)[8]) {
  switch (byte) {
  case '"': return "\\\"";
  case '\'': return "\\'";
  case '\\': return "\\\\";
  case '\t': return "\\t";
  case '\n': return "\\n";
  case '\r': return "\\r";
  default: break;
  }
  if (byte >= 0x20)
    return {};
  std::snprintf(buf, sizeof buf, "\\u%04X", byte);
  return buf;
}

// Runs of bytes that stand for themselves are appended whole.
void write_string_literal_body(std::string_view text, std::string& out) {
  std::size_t run = 0;
  char buf[8];
  for (std::size_t k = 0; k < text.size(); ++k) {
    std::string_view escape = escape_of(static_cast<unsigned char>(text[k]), buf);
    if (escape.empty())
      continue;
    out.append(text.substr(run, k - run));
    out += escape;
    run = k + 1;
  }
  out.append(text.substr(run));
}

bool write_literal(const anyval& value, unsigned flags, std::string& out) {
  if (value.type() != type_vector)
    return write_scalar(value, flags, out);
  const anyval_list* list = value.as_vector();
  return list && vector_writer(flags, out).write(*list);
}

}  // namespace quillet
