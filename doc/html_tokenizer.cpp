// The first reading pass: bytes to a flat list of nodes. The input is one buffer in memory,
// read one character at a time through a push-back stack of 16 characters; where the stack is
// empty, runs of plain bytes (text, quoted values, comment bodies) are taken in one step.
#include <array>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>

#include "doc/html_reader.h"
#include "platform/crt/char_class.h"

namespace quillet {

namespace {

constexpr int end_of_input = -1;

// `none` is internal: the '<' just read was ordinary text.
enum class token { none, end, blank, text, comment, declaration, start_tag, end_tag };

// Character classes of the configured code page, looked up once per read.
struct char_classes {
  std::array<bool, 256> space{}, alpha{}, name{};
  std::array<unsigned char, 256> upper{};

  char_classes() {
    for (int c = 0; c < 256; ++c) {
      space[c] = crt::is_space(c);
      alpha[c] = crt::is_alpha(c);
      name[c] = alpha[c] || crt::is_digit(c) || c == '.' || c == '-';
      upper[c] = static_cast<unsigned char>(crt::to_upper(c));
    }
  }
};

class html_tokenizer {
public:
  explicit html_tokenizer(std::string_view in) : p_(in.data()), end_(in.data() + in.size()) {}
  ~html_tokenizer() { release_list(first_); }
  html_element* run();

private:
  int get() {
    if (sp_)
      return stack_[--sp_];
    return p_ < end_ ? static_cast<unsigned char>(*p_++) : end_of_input;
  }
  void unget(int c) {
    if (sp_ < static_cast<int>(stack_.size()))
      stack_[sp_++] = c;
  }
  bool is_space(int c) const { return c >= 0 && cc_.space[c]; }
  bool is_alpha(int c) const { return c >= 0 && cc_.alpha[c]; }
  bool is_name_char(int c) const { return c >= 0 && cc_.name[c]; }

  token next_token();
  token next_token_collected();
  bool opens_markup(const char* lt) const;
  token after_lt();
  token after_lt_bang();
  token text_token() const { return blank_ ? token::blank : token::text; }
  token give_back_then_text(std::string_view markup);
  void note_blank(unsigned char c);
  void add_text_char(int c);
  void take_text_run();
  int skip_spaces();
  void read_name(std::string& out);
  void read_comment();
  void read_declaration();
  void copy_quoted(int quote, std::string& out);
  void skip_end_tag_rest();
  void read_value(int c);
  void read_bare_value(int c);
  bool take_bare_value();
  void read_attributes(html_elt_tag* tag);
  void read_raw_text(const html_elt_def* def);
  bool raw_end_tag_follows(std::string_view name);
  void take_raw_run();
  void read_start_tag();
  const html_elt_def* def_for(const std::string& name);
  const html_elt_def* find_def(const std::string& name);
  void append(html_element* node);

  const char* p_;
  const char* end_;
  std::array<int, 16> stack_{};
  int sp_ = 0;
  char_classes cc_;
  std::string text_, name_, value_;
  std::string_view text_view_;   // the text of the last text token
  std::string_view value_view_;  // the last attribute value read
  bool blank_ = true;
  bool line_break_ = false;
  html_element* first_ = nullptr;
  html_element* last_ = nullptr;
  std::unordered_map<std::string, rc_ptr<html_elt_def_dynamic>> dyn_defs_;
  std::array<const html_elt_def*, 251> def_cache_{};
};

// Keeps track of whether the text so far is blank and, if so, whether it breaks a line.
void html_tokenizer::note_blank(unsigned char c) {
  if (!blank_)
    return;
  if (!cc_.space[c])
    blank_ = false;
  else if (c == '\r' || c == '\n')
    line_break_ = true;
}

void html_tokenizer::add_text_char(int c) {
  text_.push_back(static_cast<char>(c));
  note_blank(static_cast<unsigned char>(c));
}

// Gives the markup opener just read back to the input and ends the text collected before it.
token html_tokenizer::give_back_then_text(std::string_view markup) {
  for (auto it = markup.rbegin(); it != markup.rend(); ++it)
    unget(static_cast<unsigned char>(*it));
  return text_token();
}

// Takes the bytes up to the next '<' straight from the buffer.
void html_tokenizer::take_text_run() {
  const void* lt = std::memchr(p_, '<', static_cast<std::size_t>(end_ - p_));
  const char* stop = lt ? static_cast<const char*>(lt) : end_;
  for (const char* q = p_; blank_ && q < stop; ++q)
    note_blank(static_cast<unsigned char>(*q));
  text_.append(p_, stop);
  p_ = stop;
}

// Whether the bytes after a '<' at `lt` open markup: a letter, '!', '?', or '/' and a letter.
bool html_tokenizer::opens_markup(const char* lt) const {
  const char* q = lt + 1;
  if (q >= end_)
    return false;
  auto c = static_cast<unsigned char>(*q);
  if (c == '!' || c == '?' || cc_.alpha[c])
    return true;
  return c == '/' && q + 1 < end_ && cc_.alpha[static_cast<unsigned char>(q[1])];
}

// One token: text up to markup, or the markup that starts here. Text that runs straight from
// the buffer to markup or to the end of input is handed out as a view of the buffer, uncopied.
token html_tokenizer::next_token() {
  if (!sp_ && p_ < end_ && *p_ != '<') {
    const void* lt = std::memchr(p_, '<', static_cast<std::size_t>(end_ - p_));
    const char* stop = lt ? static_cast<const char*>(lt) : end_;
    if (!lt || opens_markup(stop)) {
      blank_ = true;
      line_break_ = false;
      for (const char* q = p_; blank_ && q < stop; ++q)
        note_blank(static_cast<unsigned char>(*q));
      text_view_ = std::string_view(p_, static_cast<std::size_t>(stop - p_));
      p_ = stop;
      return text_token();
    }
  }
  token t = next_token_collected();
  text_view_ = text_;
  return t;
}

// One token, with its text collected in text_.
token html_tokenizer::next_token_collected() {
  text_.clear();
  blank_ = true;
  line_break_ = false;
  for (;;) {
    if (!sp_)
      take_text_run();
    int c = get();
    if (c == end_of_input)
      return text_.empty() ? token::end : text_token();
    if (c != '<') {
      add_text_char(c);
      continue;
    }
    token t = after_lt();
    if (t != token::none)
      return t;
  }
}

// After '<': the token it opens, or `none` when the '<' was ordinary text (then appended).
token html_tokenizer::after_lt() {
  int c = get();
  if (c == '!')
    return after_lt_bang();
  if (c == '?') {
    if (!text_.empty())
      return give_back_then_text("<?");
    unget('?');
    read_declaration();
    return token::declaration;
  }
  if (c == '/') {
    int e = get();
    if (is_alpha(e)) {
      unget(e);
      if (!text_.empty())
        return give_back_then_text("</");
      read_name(name_);
      skip_end_tag_rest();
      return token::end_tag;
    }
    unget(e);
  }
  if (is_alpha(c)) {
    unget(c);
    if (!text_.empty())
      return give_back_then_text("<");
    read_name(name_);
    return token::start_tag;
  }
  unget(c);
  add_text_char('<');
  return token::none;
}

// After "<!": a comment when "--" follows, else a declaration starting at the '!'.
token html_tokenizer::after_lt_bang() {
  int b = get();
  if (b == '-') {
    int d = get();
    if (d == '-') {
      if (!text_.empty())
        return give_back_then_text("<!--");
      read_comment();
      return token::comment;
    }
    unget(d);
  }
  unget(b);
  unget('!');
  if (!text_.empty())
    return give_back_then_text("<");
  read_declaration();
  return token::declaration;
}

// Consumes spaces; returns the first other character (or the end of input).
int html_tokenizer::skip_spaces() {
  int c = get();
  while (is_space(c))
    c = get();
  return c;
}

// A tag or attribute name: the run of name characters, upper-cased.
// Where nothing was given back, the name's end is found first and the run upper-cased in place.
void html_tokenizer::read_name(std::string& out) {
  out.clear();
  if (!sp_) {
    const char* q = p_;
    while (q < end_ && cc_.name[static_cast<unsigned char>(*q)])
      ++q;
    out.assign(p_, q);
    for (char& ch : out)
      ch = static_cast<char>(cc_.upper[static_cast<unsigned char>(ch)]);
    p_ = q;
    if (q < end_)
      return;
  }
  int c = get();
  while (is_name_char(c)) {
    out.push_back(static_cast<char>(cc_.upper[c]));
    c = get();
  }
  unget(c);
}

// The comment body after "<!--": "--" starts the closing state, which runs to the next '>'.
// A single '-' takes the character after it along; a lone '-' at the end of input is dropped,
// so that the body never ends in '-' and is written back as the same comment.
void html_tokenizer::read_comment() {
  text_.clear();
  for (;;) {
    if (!sp_) {
      const void* dash = std::memchr(p_, '-', static_cast<std::size_t>(end_ - p_));
      const char* stop = dash ? static_cast<const char*>(dash) : end_;
      text_.append(p_, stop);
      p_ = stop;
    }
    int c = get();
    if (c == end_of_input)
      return;
    if (c != '-') {
      text_.push_back(static_cast<char>(c));
      continue;
    }
    int d = get();
    if (d == end_of_input)
      return;
    if (d == '-')
      break;
    text_.push_back('-');
    text_.push_back(static_cast<char>(d));
  }
  for (int c = get(); c != end_of_input && c != '>'; c = get()) {
  }
}

// Appends a quoted run up to and including the closing quote (or the end of input).
void html_tokenizer::copy_quoted(int quote, std::string& out) {
  for (int c = get(); c != end_of_input; c = get()) {
    out.push_back(static_cast<char>(c));
    if (c == quote)
      return;
  }
}

// A declaration or processing instruction from its '!' or '?' up to the next '>' outside quotes.
void html_tokenizer::read_declaration() {
  text_.clear();
  for (int c = get(); c != end_of_input && c != '>'; c = get()) {
    text_.push_back(static_cast<char>(c));
    if (c == '"' || c == '\'')
      copy_quoted(c, text_);
  }
}

// Skips the rest of an end tag through its '>', quoted runs included.
void html_tokenizer::skip_end_tag_rest() {
  for (int c = get(); c != end_of_input && c != '>'; c = get()) {
    if (c != '"' && c != '\'')
      continue;
    int q = c;
    do
      c = get();
    while (c != end_of_input && c != q);
    if (c == end_of_input)
      return;
  }
}

// An attribute value, starting with the character c after '=' and its spaces: a quoted run
// without its quotes, or the bytes up to a space (consumed) or '>' (given back).
// Where nothing was given back, the value is left as a view of the buffer in value_view_.
void html_tokenizer::read_value(int c) {
  value_.clear();
  value_view_ = std::string_view();
  if (c == '"' || c == '\'') {
    if (!sp_) {
      const void* q = std::memchr(p_, c, static_cast<std::size_t>(end_ - p_));
      const char* stop = q ? static_cast<const char*>(q) : end_;
      value_view_ = std::string_view(p_, static_cast<std::size_t>(stop - p_));
      p_ = q ? stop + 1 : end_;
      return;
    }
    for (int d = get(); d != end_of_input && d != c; d = get())
      value_.push_back(static_cast<char>(d));
    value_view_ = value_;
    return;
  }
  read_bare_value(c);
  value_view_ = value_;
}

// After '=' with nothing given back: skips the spaces and, when an unquoted value follows,
// takes it as a view of the buffer up to a space (consumed) or '>' (left). False when a quote,
// '>' or the end of input comes first; the spaces are skipped either way.
bool html_tokenizer::take_bare_value() {
  if (sp_)
    return false;
  while (p_ < end_ && cc_.space[static_cast<unsigned char>(*p_)])
    ++p_;
  if (p_ == end_ || *p_ == '"' || *p_ == '\'' || *p_ == '>')
    return false;
  const char* q = p_;
  while (q < end_ && !cc_.space[static_cast<unsigned char>(*q)] && *q != '>')
    ++q;
  value_.clear();
  value_view_ = std::string_view(p_, static_cast<std::size_t>(q - p_));
  p_ = q < end_ && *q != '>' ? q + 1 : q;
  return true;
}

// An unquoted value read through the push-back stack into value_.
void html_tokenizer::read_bare_value(int c) {
  for (; c != end_of_input && !is_space(c); c = get()) {
    if (c == '>') {
      unget(c);
      return;
    }
    value_.push_back(static_cast<char>(c));
  }
}

// The attributes of a start tag, through its '>'. Characters that cannot start a name (the
// '/' of <BR/>, stray punctuation, a leading digit) are skipped.
void html_tokenizer::read_attributes(html_elt_tag* tag) {
  html_element** tail = &tag->attrs;
  for (;;) {
    int c = get();
    if (c == end_of_input || c == '>')
      return;
    if (!is_alpha(c))
      continue;
    unget(c);
    read_name(name_);
    c = skip_spaces();
    bool has_value = c == '=';
    if (has_value && !take_bare_value())
      read_value(skip_spaces());
    else
      unget(c);
    auto* a = new html_attr(name_, has_value ? std::optional<std::string_view>(value_view_) : std::nullopt);
    *tail = a;
    tail = &a->next;
  }
}

// The content of a raw-text element: everything up to "</" and the element's name (in any
// case) followed by a character that is not a name character; that end tag is skipped. The
// text (possibly empty) and an end tag node follow the start tag in the flat list.
void html_tokenizer::read_raw_text(const html_elt_def* def) {
  text_.clear();
  std::string_view name = def->name;
  for (;;) {
    if (!sp_)
      take_raw_run();
    int c = get();
    if (c == end_of_input)
      break;
    if (c != '<') {
      text_.push_back(static_cast<char>(c));
      continue;
    }
    if (!raw_end_tag_follows(name))
      continue;
    skip_end_tag_rest();
    break;
  }
  append(new html_elt_text(text_));
  append(new (html_object::short_lived) html_elt_etag(def));
}

// After a '<' in raw text: true when "/" and the name and a non-name character follow (the
// last one given back). Otherwise the characters read are added to the text, except one that
// may open the next end tag, which is given back.
bool html_tokenizer::raw_end_tag_follows(std::string_view name) {
  text_.push_back('<');
  int c = get();
  if (c != '/') {
    unget(c);
    return false;
  }
  text_.push_back('/');
  for (char want : name) {
    c = get();
    if (c == end_of_input || cc_.upper[c] != static_cast<unsigned char>(want)) {
      unget(c);
      return false;
    }
    text_.push_back(static_cast<char>(c));
  }
  c = get();
  unget(c);
  if (is_name_char(c))
    return false;
  text_.resize(text_.size() - name.size() - 2);
  return true;
}

// Raw text up to the next '<', straight from the buffer.
void html_tokenizer::take_raw_run() {
  const void* lt = std::memchr(p_, '<', static_cast<std::size_t>(end_ - p_));
  const char* stop = lt ? static_cast<const char*>(lt) : end_;
  text_.append(p_, stop);
  p_ = stop;
}

// The definition for a tag name, first from a small cache keyed by the name's length and its
// first and last bytes: documents repeat a few names, and every end tag repeats a start tag.
const html_elt_def* html_tokenizer::def_for(const std::string& name) {
  if (name.empty())
    return find_def(name);
  std::size_t slot = (name.size() * 37 + static_cast<unsigned char>(name.front()) * 5 +
                      static_cast<unsigned char>(name.back())) % def_cache_.size();
  const html_elt_def* d = def_cache_[slot];
  if (d && d->name == name)
    return d;
  d = find_def(name);
  def_cache_[slot] = d;
  return d;
}

// The definition for a tag name: the table row, or the dynamic definition of this parse.
const html_elt_def* html_tokenizer::find_def(const std::string& name) {
  if (const html_elt_def* row = find_tag_def(name))
    return row;
  auto it = dyn_defs_.find(name);
  if (it != dyn_defs_.end())
    return it->second.get();
  auto def = make_rc<html_elt_def_dynamic>(name);
  const html_elt_def* d = def.get();
  dyn_defs_.emplace(name, std::move(def));
  return d;
}

void html_tokenizer::append(html_element* node) {
  if (last_)
    last_->next = node;
  else
    first_ = node;
  last_ = node;
}

// A start tag whose name has been read: its node with attributes, and for a raw-text element
// the content and closing end tag.
void html_tokenizer::read_start_tag() {
  const html_elt_def* def = def_for(name_);
  auto* tag = new html_elt_tag(def);
  append(tag);
  read_attributes(tag);
  if (def->flags & html_elt_def::RAW_TEXT)
    read_raw_text(def);
}

// Turns the tokens into nodes until the input ends; blank text makes no node but marks the
// node before it when it breaks a line.
html_element* html_tokenizer::run() {
  for (;;) {
    switch (next_token()) {
    case token::none:
    case token::end:
      last_ = nullptr;
      return std::exchange(first_, nullptr);
    case token::blank:
      if (line_break_ && last_)
        last_->flags |= html_object::NL_AFTER;
      break;
    case token::text: append(new html_elt_text(text_view_)); break;
    case token::comment: append(new html_elt_comment(text_)); break;
    case token::declaration: append(new html_elt_sgml(text_)); break;
    case token::end_tag: append(new (html_object::short_lived) html_elt_etag(def_for(name_))); break;
    case token::start_tag: read_start_tag(); break;
    }
  }
}

}  // namespace

html_element* tokenize_html(std::string_view input) {
  html_tokenizer t(input);
  return t.run();
}

}  // namespace quillet
