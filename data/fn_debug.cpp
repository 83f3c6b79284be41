// DEBUG: writes its arguments to the diagnostic sink and returns 0.
#include <string>
#include <vector>

#include "data/kov_functions.h"

namespace quillet {

namespace {

// Longest DEBUG text sent; a longer one is cut there and ends in "...". This also ends the
// writing of a vector that holds itself (possible through indexed assignment).
constexpr std::size_t debug_max_text = std::size_t{64} << 10;

struct open_vector {
  const anyval_list* elements;
  std::size_t next;
};

void append_limited(std::string& out, std::string_view text) {
  const std::size_t room = out.size() > debug_max_text ? 0 : debug_max_text + 1 - out.size();
  out.append(text.substr(0, room));
}

// Appends a value: a string as it is, an absent value as "(null)", anything else but a
// vector by its text form. A vector only opens here; its elements follow from the stack.
void append_value(const anyval& value, std::string& out, std::vector<open_vector>& open) {
  if (value.empty())
    return append_limited(out, "(null)");
  if (const std::string* text = value.as_string())
    return append_limited(out, *text);
  if (const anyval_list* elements = value.as_vector()) {
    out += '[';
    open.push_back({elements, 0});
    return;
  }
  std::string text;
  value.to_text(text);
  append_limited(out, text);
}

// Writes the value and, without recursion, the elements of the vectors it opens.
void append_tree(const anyval& value, std::string& out) {
  std::vector<open_vector> open;
  append_value(value, out, open);
  while (!open.empty() && out.size() <= debug_max_text) {
    open_vector& top = open.back();
    if (top.next == top.elements->size()) {
      out += ']';
      open.pop_back();
      continue;
    }
    if (top.next > 0)
      out += ',';
    const anyval& element = (*top.elements)[top.next++];
    append_value(element, out, open);
  }
}

}  // namespace

// "DEBUG:" and every argument without separators, vectors as "[a,b]"; sent with a line feed.
// Never fails.
bool kov_txl_function_DEBUG::evaluate(txl_call& call, std::span<const anyval> args) {
  std::string text = "DEBUG:";
  for (const anyval& arg : args) {
    append_tree(arg, text);
    if (text.size() > debug_max_text)
      break;
  }
  if (text.size() > debug_max_text) {
    text.resize(debug_max_text);
    text += "...";
  }
  text += '\n';
  context().diagnostics().print(text);
  call.result = anyval::from_int(0);
  return true;
}

}  // namespace quillet
