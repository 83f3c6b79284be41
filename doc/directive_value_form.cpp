// The file form of an expression text inside "%{ }%". A comment of the document ends at "--"
// and the directive reader ends a value at the first "}%" outside quotes, so the text is
// rewritten into an equivalent one that has neither and whose quotes the reader pairs up:
// inside string literals the second "-" of "--" becomes "\-" and the "%" of "}%" becomes "\%"
// (both read back as themselves); in code and comments a blank separates the two characters;
// a quote inside a comment that the reader would not find closed there is doubled.
#include <cstdint>
#include <string>
#include <vector>

#include "doc/template_markup.h"
#include "txl/lexer.h"

namespace quillet {

namespace {

class value_form_writer {
public:
  std::string out;

  // A byte outside string literals.
  void put_code(char c) {
    if (breaks_markup(c))
      out += ' ';
    out += c;
  }
  // A byte of a string literal's body.
  void put_literal(char c) {
    if (breaks_markup(c))
      out += '\\';
    out += c;
  }
  void blanks_and_comments(std::string_view gap);
  void string_literal(std::string_view token);

private:
  bool breaks_markup(char c) const {
    return !out.empty() && ((c == '-' && out.back() == '-') || (c == '%' && out.back() == '}'));
  }
  void comment(std::string_view text);
};

// Length of a comment that starts the gap at `at`: "//" to the line end, "/*" past "*/".
std::size_t comment_length(std::string_view gap, std::size_t at) {
  if (gap.substr(at, 2) == "//") {
    std::size_t end = gap.find('\n', at);
    return (end == std::string_view::npos ? gap.size() : end) - at;
  }
  std::size_t end = gap.find("*/", at + 2);
  return (end == std::string_view::npos ? gap.size() : end + 2) - at;
}

void value_form_writer::blanks_and_comments(std::string_view gap) {
  for (std::size_t i = 0; i < gap.size();) {
    if (gap.substr(i, 2) != "//" && gap.substr(i, 2) != "/*") {
      put_code(gap[i++]);
      continue;
    }
    std::size_t n = comment_length(gap, i);
    comment(gap.substr(i, n));
    i += n;
  }
}

// For every position p, where a quoted run of the reader whose content starts at p closes
// (a backslash escapes the next byte), or -1 when it runs past the end; filled from the right
// so that the whole comment costs linear time.
std::vector<std::int32_t> closing_quotes(std::string_view text, char quote) {
  std::vector<std::int32_t> close(text.size() + 2, -1);
  for (std::size_t p = text.size(); p-- > 0;) {
    if (text[p] == quote)
      close[p] = static_cast<std::int32_t>(p);
    else if (text[p] == '\\')
      close[p] = close[p + 2];
    else
      close[p] = close[p + 1];
  }
  return close;
}

// Outside a quoted run the reader takes a backslash as a plain byte; a quote opens a run.
void value_form_writer::comment(std::string_view text) {
  std::vector<std::int32_t> close_single = closing_quotes(text, '\'');
  std::vector<std::int32_t> close_double = closing_quotes(text, '"');
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c != '\'' && c != '"') {
      put_code(text[i++]);
      continue;
    }
    std::int32_t end = (c == '\'' ? close_single : close_double)[i + 1];
    if (end < 0) {
      out += c;  // the doubled quote is an empty run of its own
      put_code(text[i++]);
      continue;
    }
    for (; i <= static_cast<std::size_t>(end); ++i)
      put_code(text[i]);
  }
}

// Bytes as the string-literal rules read them: "\u" takes the next four bytes as hexadecimal
// digits, any other byte counting as 0, so a "-" or "%" among them is written "0". A literal
// that the text leaves open is closed, so that the reader finds the end of the value.
void value_form_writer::string_literal(std::string_view token) {
  char quote = token[0];
  std::size_t end = 1;
  bool escaped = false;
  for (; end < token.size() && (escaped || token[end] != quote); ++end)
    escaped = !escaped && token[end] == '\\';
  std::string_view body = token.substr(1, end - 1);
  out += quote;
  for (std::size_t i = 0; i < body.size();) {
    if (body[i] != '\\' || i + 1 >= body.size()) {
      put_literal(body[i++]);
      continue;
    }
    char e = body[i + 1];
    out += '\\';
    out += e;
    i += 2;
    for (int k = 0; e == 'u' && k < 4 && i < body.size(); ++k, ++i)
      out += body[i] == '-' || body[i] == '%' ? '0' : body[i];
  }
  if (escaped)
    out += quote;
  out += quote;
}

bool is_string_token(const txl_token& t) {
  return t.code == tok_string || (t.code == tok_undefined && t.error == txl_err_bad_string);
}

}  // namespace

// The tokenizer tells where string literals are; what lies between tokens is blanks and
// comments, everything else is code.
std::string directive_value_form(std::string_view text) {
  txl_lexer lexer(text);
  std::string_view source = lexer.text();
  value_form_writer w;
  w.out.reserve(source.size() + 8);
  std::int32_t pos = 0;
  for (;;) {
    txl_token t = lexer.next();
    w.blanks_and_comments(source.substr(pos, t.start - pos));
    if (t.code == tok_end)
      break;
    std::string_view token = source.substr(t.start, t.end - t.start);
    if (is_string_token(t)) {
      w.string_literal(token);
    } else {
      for (char c : token)
        w.put_code(c);
    }
    pos = t.end;
  }
  return std::move(w.out);
}

}  // namespace quillet
