// Reading directive comments: finding the comment of a keyword among a node list, parsing its
// name = value pairs into properties, and removing the comment from the tree.
#include <algorithm>
#include <string>

#include "doc/template_markup.h"
#include "txl/compiler.h"

namespace quillet {

namespace {

bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool is_ident_start(char c) { return c == '$' || c == '_' || is_ascii_letter(c); }
bool is_ident_byte(char c) { return is_ident_start(c) || c == '.' || (c >= '0' && c <= '9'); }
bool is_quote(char c) { return c == '"' || c == '\''; }

// A cursor over the decoded text of one directive, from byte `start` on; `origin` tells where
// the text's bytes stand in the file.
class pair_scanner {
public:
  pair_scanner(std::string_view text, std::size_t start, const txl_text_origin& origin)
      : s_(text), pos_(start), origin_(origin) {}

  bool at_end() const { return pos_ >= s_.size(); }
  void skip_blanks() { pos_ = blanks_end(pos_); }
  // Takes `c` when it comes next.
  bool take(char c) {
    if (at_end() || s_[pos_] != c)
      return false;
    ++pos_;
    return true;
  }
  bool read_identifier(std::string& out);
  bool read_name(std::string& out);
  void read_value(std::string& out, txl_text_origin& where);

private:
  std::size_t blanks_end(std::size_t p) const {
    while (p < s_.size() && is_blank(s_[p]))
      ++p;
    return p;
  }
  std::size_t identifier_end(std::size_t p) const {
    while (p < s_.size() && is_ident_byte(s_[p]))
      ++p;
    return p;
  }
  std::size_t quoted_end(std::size_t p) const;
  std::size_t unit_end(std::size_t p) const;
  void read_braced_value(std::string& out);
  void read_bare_value(std::string& out);

  std::string_view s_;
  std::size_t pos_ = 0;
  const txl_text_origin& origin_;
};

// One past the closing quote of the quoted string at p (a backslash escapes the next byte), or
// npos when it is not closed.
std::size_t pair_scanner::quoted_end(std::size_t p) const {
  char quote = s_[p];
  for (++p; p < s_.size(); ++p) {
    if (s_[p] == '\\')
      ++p;
    else if (s_[p] == quote)
      return p + 1;
  }
  return std::string_view::npos;
}

// The end of the unit at p: a quoted string (an open one runs to the end), an identifier, a run
// of blanks, or a single byte.
std::size_t pair_scanner::unit_end(std::size_t p) const {
  if (is_quote(s_[p]))
    return std::min(quoted_end(p), s_.size());
  if (is_ident_start(s_[p]))
    return identifier_end(p);
  if (is_blank(s_[p]))
    return blanks_end(p);
  return p + 1;
}

bool pair_scanner::read_identifier(std::string& out) {
  if (at_end() || !is_ident_start(s_[pos_]))
    return false;
  std::size_t end = identifier_end(pos_);
  out.assign(s_.substr(pos_, end - pos_));
  pos_ = end;
  return true;
}

// A name is an identifier or a closed quoted string, unescaped by the string-literal rules.
bool pair_scanner::read_name(std::string& out) {
  if (read_identifier(out))
    return true;
  if (at_end() || !is_quote(s_[pos_]))
    return false;
  std::size_t end = quoted_end(pos_);
  if (end == std::string_view::npos)
    return false;
  out = txl_string_literal(s_.substr(pos_ + 1, end - pos_ - 2));
  pos_ = end;
  return true;
}

// The value's text, and in `where` the origin of its bytes.
void pair_scanner::read_value(std::string& out, txl_text_origin& where) {
  skip_blanks();
  const bool braced = s_.substr(pos_, 2) == "%{";
  if (braced)
    pos_ += 2;
  const std::size_t begin = pos_;
  if (braced)
    read_braced_value(out);
  else
    read_bare_value(out);
  where = origin_.slice(static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(begin + out.size()));
}

// Everything up to the first "}%" outside quoted strings, which is consumed; or the rest.
void pair_scanner::read_braced_value(std::string& out) {
  std::size_t p = pos_;
  while (p < s_.size() && s_.substr(p, 2) != "}%")
    p = unit_end(p);
  out.assign(s_.substr(pos_, p - pos_));
  pos_ = p < s_.size() ? p + 2 : s_.size();
}

// Up to the blanks before the first identifier or quoted string that is followed, after
// optional blanks, by "=" (the next pair's name); or the rest without trailing blanks. Such a
// value cannot hold a name followed by "=": "a == b" is an empty value and a pair a = "= b".
void pair_scanner::read_bare_value(std::string& out) {
  std::size_t start = pos_;
  std::size_t p = pos_;
  std::size_t stop = s_.size();
  while (p < s_.size()) {
    std::size_t end = unit_end(p);
    bool named = is_quote(s_[p]) || is_ident_start(s_[p]);
    if (named) {
      std::size_t after = blanks_end(end);
      if (after < s_.size() && s_[after] == '=') {
        stop = p;
        break;
      }
    }
    p = end;
  }
  std::size_t last = stop;
  while (last > start && is_blank(s_[last - 1]))
    --last;
  out.assign(s_.substr(start, last - start));
  pos_ = stop;
}

// Makes the property of one pair; with compilation, a failure leaves nothing.
rc_ptr<txl_user_function> make_property(std::string name, std::string value, txl_text_origin origin, int mode,
                                        txl_compiler& compiler) {
  auto fn = make_rc<txl_user_function>(std::move(name), std::move(value));
  fn->origin = std::move(origin);
  if (mode == mode_keep_text)
    return fn;
  if (compiler.compile(fn->text, fn.get()) != 0)
    return {};
  if (mode == mode_compile)
    fn->text.clear();
  return fn;
}

// Pairs of ELT, DOC, WIZ and WPARM: name, "=", value, until the end of the text.
bool read_pairs(pair_scanner& in, txl_prop_list& props, int mode) {
  txl_compiler compiler;
  for (;;) {
    in.skip_blanks();
    if (in.at_end())
      return true;
    std::string name, value;
    txl_text_origin origin;
    if (!in.read_name(name))
      return false;
    in.skip_blanks();
    if (!in.take('='))
      return false;
    in.read_value(value, origin);
    rc_ptr<txl_user_function> fn = make_property(std::move(name), std::move(value), std::move(origin), mode, compiler);
    if (!fn)
      return false;
    props.push_back(std::move(fn));
  }
}

// `word`, blanks and "=", then blanks.
bool take_keyword(pair_scanner& in, std::string_view word) {
  std::string got;
  in.skip_blanks();
  if (!in.read_identifier(got) || got != word)
    return false;
  in.skip_blanks();
  if (!in.take('='))
    return false;
  in.skip_blanks();
  return true;
}

// VAR: NAME = name VALUE = value, one property.
bool read_variable(pair_scanner& in, txl_prop_list& props, int mode) {
  std::string name, value;
  txl_text_origin origin;
  if (!take_keyword(in, "NAME") || !in.read_name(name) || !take_keyword(in, "VALUE"))
    return false;
  in.read_value(value, origin);
  txl_compiler compiler;
  rc_ptr<txl_user_function> fn = make_property(std::move(name), std::move(value), std::move(origin), mode, compiler);
  if (!fn)
    return false;
  props.push_back(std::move(fn));
  return true;
}

// The text of a directive comment, decoded and substituted, with where its bytes stand.
struct directive_source {
  std::string text;
  txl_text_origin origin;
  bool readable = true;
};

// Where the body of a comment starts in the file: after its "<!--". The origin is worked out
// only for a text that starts with the marker (entities cannot make one), so that ordinary
// comments cost nothing more.
std::uint32_t body_offset(const html_elt_comment& comment) {
  if (comment.source_offset == no_source_offset || comment.source_offset > no_source_offset - 5 ||
      comment.text.view().substr(0, 4) != "$VX ")
    return no_source_offset;
  return comment.source_offset + 4;
}

// The decoded and substituted text of a comment node when it is a directive of `index`.
// An oversized substitution still counts as that directive, one that cannot be read.
bool directive_text_of(const html_element& node, int index, const txl_prop_list* params, directive_source& source) {
  if (node.kind != html_kind::comment)
    return false;
  const auto& comment = static_cast<const html_elt_comment&>(node);
  std::string& text = source.text;
  text = decode_directive_entities(comment.text.view(), body_offset(comment), source.origin);
  source.readable = true;
  if (params) {
    std::optional<std::string> substituted = substitute_params(text, *params, &source.origin);
    if (!substituted) {
      source.readable = false;
      return directive_keyword_of(text) == index;
    }
    text = std::move(*substituted);
  }
  return directive_keyword_of(text) == index;
}

// Unlinks the node at *link and drops the list's reference on it.
void remove_node(html_element** link) {
  html_element* node = *link;
  *link = node->next;
  node->next = nullptr;
  release_list(node);
}

// Parses a directive text whose keyword is known into `props`.
bool parse_directive(const directive_source& source, int index, txl_prop_list& props, int mode) {
  pair_scanner in(source.text, 4 + directive_keyword_name(index).size(), source.origin);
  if (index == directive_var)
    return read_variable(in, props, mode);
  return read_pairs(in, props, mode);
}

}  // namespace

directive_found read_directive(html_element*& list, int index, txl_prop_list& props, int mode,
                               const txl_prop_list* params) {
  if (directive_keyword_name(index).empty())
    return directive_found::absent;
  directive_source source;
  for (html_element** link = &list; *link; link = &(*link)->next) {
    if (!directive_text_of(**link, index, params, source))
      continue;
    remove_node(link);
    if (!source.readable || !parse_directive(source, index, props, mode))
      return directive_found::failed;
    return directive_found::read;
  }
  return directive_found::absent;
}

bool read_directive_list(html_element*& list, int index, txl_prop_list& props, int mode,
                         const txl_prop_list* params) {
  return read_directive(list, index, props, mode, params) == directive_found::read;
}

// Each VAR comment is found from the head again; the ones already read are gone.
void read_directive_vars(html_element*& list, txl_prop_list& props, int mode, const txl_prop_list* params) {
  directive_source source;
  html_element** link = &list;
  while (*link) {
    if (!directive_text_of(**link, directive_var, params, source)) {
      link = &(*link)->next;
      continue;
    }
    remove_node(link);
    if (source.readable)
      parse_directive(source, directive_var, props, mode);
  }
}

}  // namespace quillet
