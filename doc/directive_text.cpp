// The text forms of directive comments: keywords, entities, property names and the file form of
// expression texts, and the comment body that writing a directive produces.
#include <array>
#include <string>

#include "doc/template_markup.h"
#include "txl/anyval.h"

namespace quillet {

namespace {

constexpr std::array<std::string_view, 5> keyword_names = {"ELT", "VAR", "DOC", "WIZ", "WPARM"};
constexpr std::string_view directive_marker = "$VX ";

bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }

// A byte that would continue a keyword into a longer name.
bool is_name_byte(char c) { return c == '$' || c == '.' || c == '_' || is_ascii_letter(c) || is_ascii_digit(c); }

}  // namespace

std::string_view directive_keyword_name(int index) {
  if (index < 0 || index >= static_cast<int>(keyword_names.size()))
    return {};
  return keyword_names[index];
}

// The marker, then a keyword that the next byte does not continue: "$VX ELTX" is no directive.
int directive_keyword_of(std::string_view text) {
  if (text.substr(0, directive_marker.size()) != directive_marker)
    return -1;
  std::string_view rest = text.substr(directive_marker.size());
  for (std::size_t i = 0; i < keyword_names.size(); ++i) {
    std::string_view k = keyword_names[i];
    if (rest.substr(0, k.size()) != k)
      continue;
    if (rest.size() > k.size() && is_name_byte(rest[k.size()]))
      continue;
    return static_cast<int>(i);
  }
  return -1;
}

std::string decode_directive_entities(std::string_view text) {
  txl_text_origin none;
  return decode_directive_entities(text, no_source_offset, none);
}

// One pass from left to right, so "&amp;lt;" becomes "&lt;" and not "<". The byte after an
// entity stands the entity's length less one further on in the file than the byte before it.
std::string decode_directive_entities(std::string_view text, std::uint32_t at, txl_text_origin& origin) {
  struct entity {
    std::string_view name;
    char c;
  };
  static constexpr std::array<entity, 3> entities = {{{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}}};
  origin.clear();
  const bool placed = at != no_source_offset;
  if (placed)
    origin.add_run(0, at);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const entity& e : entities) {
      if (text.substr(i, e.name.size()) != e.name)
        continue;
      out += e.c;
      i += e.name.size();
      replaced = true;
      if (placed)
        origin.add_run(static_cast<std::uint32_t>(out.size()), static_cast<std::uint32_t>(at + i));
      break;
    }
    if (!replaced)
      out += text[i++];
  }
  return out;
}

std::string encode_directive_entities(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else
      out += c;
  }
  return out;
}

// A quoted name escapes the second "-" of every "--" (a string literal reads "\-" as "-"),
// so that the name cannot end the comment it stands in.
std::string directive_name_form(std::string_view name) {
  bool bare = !name.empty() && !is_ascii_digit(name[0]);
  for (char c : name)
    bare = bare && (is_ascii_letter(c) || is_ascii_digit(c) || c == '_');
  if (bare)
    return std::string(name);
  std::string body;
  write_string_literal_body(name, body);
  std::string out = "\"";
  for (char c : body) {
    if (c == '-' && out.back() == '-')
      out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

// "$VX ", the keyword and a space; then the pairs separated by CR, LF and a space (VAR: NAME and
// VALUE pairs of its one variable); all of it with entities encoded.
std::string directive_comment_text(int index, const txl_prop_list& props) {
  std::string text = std::string(directive_marker) + std::string(directive_keyword_name(index)) + " ";
  if (index == directive_var) {
    if (!props.empty() && props[0]) {
      const txl_user_function& v = *props[0];
      text += "NAME=" + directive_name_form(v.name) + " VALUE=%{" + directive_value_form(v.text) + "}%";
    }
    return encode_directive_entities(text);
  }
  bool first = true;
  for (const rc_ptr<txl_user_function>& p : props) {
    if (!p)
      continue;
    if (!first)
      text += "\r\n ";
    first = false;
    text += directive_name_form(p->name) + "=%{" + directive_value_form(p->text) + "}%";
  }
  return encode_directive_entities(text);
}

}  // namespace quillet
