// Reading an inline style ("color: red; width=10px") into name and value items.
#include <vector>

#include "report/html_dyn_elt.h"

namespace quillet {

namespace {

class style_reader {
public:
  explicit style_reader(std::string_view text) : s_(text) {}

  // Skips blanks and /* */ comments (an open comment runs to the end).
  void skip_blanks() {
    for (;;) {
      while (at_ < s_.size() && is_blank(s_[at_]))
        ++at_;
      if (!comment_here())
        return;
      skip_comment();
    }
  }

  std::string read_name() {
    std::size_t start = at_;
    while (at_ < s_.size() && is_name_char(s_[at_]))
      ++at_;
    return std::string(s_.substr(start, at_ - start));
  }

  // Whether ":" or "=" follows; it is consumed.
  bool take_separator() {
    if (at_ >= s_.size() || (s_[at_] != ':' && s_[at_] != '='))
      return false;
    ++at_;
    return true;
  }

  // The value up to ";" or the end: quoted runs kept with their quotes, comments left out,
  // trailing blanks dropped. The ";" is consumed.
  std::string read_value() {
    skip_blanks();
    std::string value;
    while (at_ < s_.size() && s_[at_] != ';') {
      if (comment_here()) {
        skip_comment();
        continue;
      }
      char c = s_[at_];
      if (c == '"' || c == '\'')
        copy_quoted(value, c);
      else
        value += s_[at_++];
    }
    while (!value.empty() && is_blank(value.back()))
      value.pop_back();
    take_semicolon();
    return value;
  }

  void take_semicolon() {
    if (at_ < s_.size() && s_[at_] == ';')
      ++at_;
  }

private:
  static bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
  static bool is_name_char(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
  }
  bool comment_here() const { return s_.substr(at_, 2) == "/*"; }
  void skip_comment() {
    std::size_t end = s_.find("*/", at_ + 2);
    at_ = end == std::string_view::npos ? s_.size() : end + 2;
  }
  void copy_quoted(std::string& out, char quote) {
    out += s_[at_++];
    while (at_ < s_.size() && s_[at_] != quote) {
      if (s_[at_] == '\\' && at_ + 1 < s_.size())
        out += s_[at_++];
      out += s_[at_++];
    }
    if (at_ < s_.size())
      out += s_[at_++];
  }

  std::string_view s_;
  std::size_t at_ = 0;
};

}  // namespace

// Items until a name is empty; an item without ":" or "=" has an empty value.
std::vector<style_item> parse_inline_style(std::string_view text) {
  std::vector<style_item> items;
  style_reader reader(text);
  for (;;) {
    reader.skip_blanks();
    std::string name = reader.read_name();
    if (name.empty())
      return items;
    reader.skip_blanks();
    std::string value;
    if (reader.take_separator())
      value = reader.read_value();
    else
      reader.take_semicolon();
    items.push_back({std::move(name), std::move(value)});
  }
}

}  // namespace quillet
