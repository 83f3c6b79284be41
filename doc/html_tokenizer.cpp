// The reading pass: bytes to nodes, each handed to the tree builder as soon as it is complete.
// The input is one buffer in memory. What the reader looks at ahead and then gives back is
// simply not consumed, so every text, name, value, comment body and declaration is one
// contiguous run of the buffer, found with a scan and copied once, into its node; a short one
// read again shares the bytes of its first copy.
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "doc/html_reader.h"
#include "doc/html_tree_builder.h"
#include "doc/recent_texts.h"
#include "platform/crt/char_class.h"

namespace quillet {

namespace {

// Character classes of the configured code page, looked up once per read.
struct char_classes {
  static constexpr unsigned char space = 1, alpha = 2, name = 4;
  std::array<unsigned char, 256> bits{};
  std::array<char, 256> upper{};
  // A name character's upper-case form, 0 for any other byte: one lookup both tests and maps.
  std::array<char, 256> name_upper{};

  char_classes() {
    for (int c = 0; c < 256; ++c) {
      bool a = crt::is_alpha(c);
      bits[c] = static_cast<unsigned char>((crt::is_space(c) ? space : 0) | (a ? alpha : 0) |
                                           (a || crt::is_digit(c) || c == '.' || c == '-' ? name : 0));
      upper[c] = static_cast<char>(crt::to_upper(c));
      name_upper[c] = bits[c] & name ? upper[c] : '\0';
    }
  }
};

class html_tokenizer {
public:
  html_tokenizer(std::string_view in, html_tree_builder& b)
      : begin_(in.data()), p_(in.data()), end_(in.data() + in.size()), builder_(b) {}
  void run();

private:
  bool has(const char* q, unsigned char cls) const {
    return (cc_.bits[static_cast<unsigned char>(*q)] & cls) != 0;
  }
  // The file offset of a byte of the input; offsets past the 32-bit range name no place.
  std::uint32_t offset_of(const char* q) const {
    auto d = static_cast<std::size_t>(q - begin_);
    return d < no_source_offset ? static_cast<std::uint32_t>(d) : no_source_offset;
  }
  // The node, noted as starting at `at`.
  template <class Node>
  Node* placed(Node* node, const char* at) const {
    node->source_offset = offset_of(at);
    return node;
  }
  bool opens_markup(const char* lt) const;
  const char* text_end(const char* from) const;
  void read_text();
  void read_markup();
  void read_comment(const char* lt);
  void read_declaration(const char* lt);
  void skip_end_tag_rest();
  void read_end_tag(const char* lt);
  void read_start_tag(const char* lt);
  std::string_view read_upper_name();
  void skip_spaces();
  std::string_view read_value();
  void read_attributes(html_elt_tag* tag);
  void read_raw_text(const html_elt_def* def);
  bool raw_end_tag_at(const char* lt, std::string_view name) const;
  const html_elt_def* def_for(std::string_view name);
  const html_elt_def* read_tag_def();

  const char* begin_;
  const char* p_;
  const char* end_;
  html_tree_builder& builder_;
  char_classes cc_;
  recent_texts recent_;
  static constexpr std::size_t short_name_size = 32;
  char short_buf_[short_name_size] = {};
  // Definitions of names of up to eight bytes met lately, by the name's bytes as one word
  // (name characters are never NUL, so the word tells the length too).
  struct def_memo {
    std::uint64_t word = 0;
    const html_elt_def* def = nullptr;
  };
  static constexpr unsigned memo_bits = 6;
  std::array<def_memo, std::size_t(1) << memo_bits> def_memo_{};
  std::string name_;
  std::unordered_map<std::string, rc_ptr<html_elt_def_dynamic>> dyn_defs_;
};

// Whether the '<' at `lt` opens markup: a letter, '!' or '?' follows, or '/' and a letter.
// Any other '<' is ordinary text.
bool html_tokenizer::opens_markup(const char* lt) const {
  const char* q = lt + 1;
  if (q >= end_)
    return false;
  if (*q == '!' || *q == '?' || has(q, char_classes::alpha))
    return true;
  return *q == '/' && q + 1 < end_ && has(q + 1, char_classes::alpha);
}

// Where the text that starts at `from` ends: the next '<' that opens markup, or the end.
const char* html_tokenizer::text_end(const char* from) const {
  for (const char* q = from;;) {
    const void* lt = std::memchr(q, '<', static_cast<std::size_t>(end_ - q));
    if (!lt)
      return end_;
    q = static_cast<const char*>(lt);
    if (opens_markup(q))
      return q;
    ++q;
  }
}

// A text up to the next markup. Blank text (only spaces) makes no node; when it breaks a line,
// the node before it gets a line break after it. A node keeps its text up to a NUL byte only,
// so only that part decides whether the text is blank (else a text of a line break and a NUL
// would be written as a bare line break, which reads back as no node).
void html_tokenizer::read_text() {
  const char* start = p_;
  p_ = text_end(start + 1);
  const void* nul = std::memchr(start, 0, static_cast<std::size_t>(p_ - start));
  const char* kept_end = nul ? static_cast<const char*>(nul) : p_;
  bool line_break = false;
  for (const char* q = start; q < kept_end; ++q) {
    if (!has(q, char_classes::space)) {
      html_text text = recent_.make(std::string_view(start, static_cast<std::size_t>(p_ - start)));
      builder_.leaf(placed(new html_elt_text(std::move(text)), start));
      return;
    }
    line_break = line_break || *q == '\r' || *q == '\n';
  }
  if (line_break)
    builder_.line_break();
}

// At a '<' that opens markup: a comment ("<!--"), a declaration ("<!" or "<?"), an end tag
// ("</" and a letter) or a start tag.
void html_tokenizer::read_markup() {
  const char* lt = p_;
  const char* q = p_ + 1;
  if (*q == '!' && end_ - q >= 3 && q[1] == '-' && q[2] == '-') {
    p_ = q + 3;
    read_comment(lt);
    return;
  }
  if (*q == '!' || *q == '?') {
    p_ = q;
    read_declaration(lt);
    return;
  }
  if (*q == '/') {
    p_ = q + 1;
    read_end_tag(lt);
    return;
  }
  p_ = q;
  read_start_tag(lt);
}

// The comment body after "<!--", up to the first "--"; the rest of the comment up to the next
// '>' is dropped. Without "--" the body runs to the end of input, less a lone '-' at the very
// end, so that the body never ends in '-' and is written back as the same comment.
void html_tokenizer::read_comment(const char* lt) {
  const char* start = p_;
  const char* stop = end_;
  const char* after = end_;
  for (const char* q = start;;) {
    const void* dash = std::memchr(q, '-', static_cast<std::size_t>(end_ - q));
    if (!dash)
      break;
    q = static_cast<const char*>(dash);
    if (q + 1 == end_ || q[1] == '-') {
      stop = q;
      const void* gt = q + 1 < end_ ? std::memchr(q + 2, '>', static_cast<std::size_t>(end_ - q - 2)) : nullptr;
      after = gt ? static_cast<const char*>(gt) + 1 : end_;
      break;
    }
    q += 2;
  }
  p_ = after;
  builder_.leaf(placed(new html_elt_comment(std::string_view(start, static_cast<std::size_t>(stop - start))), lt));
}

// A declaration or processing instruction from its '!' or '?' up to the next '>' outside
// quotes; a quoted run goes up to its closing quote or the end of input.
void html_tokenizer::read_declaration(const char* lt) {
  const char* start = p_;
  const char* q = start;
  while (q < end_ && *q != '>') {
    if (*q != '"' && *q != '\'') {
      ++q;
      continue;
    }
    const void* close = std::memchr(q + 1, *q, static_cast<std::size_t>(end_ - q - 1));
    q = close ? static_cast<const char*>(close) + 1 : end_;
  }
  p_ = q < end_ ? q + 1 : end_;
  builder_.leaf(placed(new html_elt_sgml(std::string_view(start, static_cast<std::size_t>(q - start))), lt));
}

// Skips the rest of an end tag through its '>'; a quoted run is skipped up to its closing
// quote, and an unclosed one runs to the end of input.
void html_tokenizer::skip_end_tag_rest() {
  while (p_ < end_) {
    char c = *p_++;
    if (c == '>')
      return;
    if (c != '"' && c != '\'')
      continue;
    const void* close = std::memchr(p_, c, static_cast<std::size_t>(end_ - p_));
    p_ = close ? static_cast<const char*>(close) + 1 : end_;
  }
}

void html_tokenizer::read_end_tag(const char* lt) {
  const html_elt_def* def = read_tag_def();
  skip_end_tag_rest();
  builder_.end_tag(def, offset_of(lt));
}

// A tag or attribute name: the run of name characters at the input position, upper-cased.
// Names are short, so they are upper-cased into a fixed buffer as they are scanned; a longer
// one goes to a string. The view stays valid until the next name is read.
std::string_view html_tokenizer::read_upper_name() {
  const char* start = p_;
  const char* stop = static_cast<std::size_t>(end_ - start) > short_name_size ? start + short_name_size : end_;
  const char* q = start;
  for (char u; q < stop && (u = cc_.name_upper[static_cast<unsigned char>(*q)]) != '\0'; ++q)
    short_buf_[q - start] = u;
  p_ = q;
  if (q < stop || q == end_ || !cc_.name_upper[static_cast<unsigned char>(*q)])
    return std::string_view(short_buf_, static_cast<std::size_t>(q - start));
  while (p_ < end_ && cc_.name_upper[static_cast<unsigned char>(*p_)])
    ++p_;
  name_.resize(static_cast<std::size_t>(p_ - start));
  for (std::size_t i = 0; i < name_.size(); ++i)
    name_[i] = cc_.upper[static_cast<unsigned char>(start[i])];
  return name_;
}

void html_tokenizer::skip_spaces() {
  while (p_ < end_ && has(p_, char_classes::space))
    ++p_;
}

// An attribute value after '=' and its spaces: a quoted run without its quotes (an unclosed one
// runs to the end of input), or the bytes up to a space (consumed) or '>' (left for the tag).
std::string_view html_tokenizer::read_value() {
  const char* start = p_;
  if (start == end_)
    return std::string_view(start, 0);
  if (*start == '"' || *start == '\'') {
    const void* close = std::memchr(start + 1, *start, static_cast<std::size_t>(end_ - start - 1));
    const char* stop = close ? static_cast<const char*>(close) : end_;
    p_ = close ? stop + 1 : end_;
    return std::string_view(start + 1, static_cast<std::size_t>(stop - start - 1));
  }
  const char* q = start;
  while (q < end_ && *q != '>' && !has(q, char_classes::space))
    ++q;
  p_ = q < end_ && *q != '>' ? q + 1 : q;
  return std::string_view(start, static_cast<std::size_t>(q - start));
}

// The attributes of a start tag, through its '>'. Characters that cannot start a name (the
// '/' of <BR/>, stray punctuation, a leading digit) are skipped.
void html_tokenizer::read_attributes(html_elt_tag* tag) {
  html_element** tail = &tag->attrs;
  while (p_ < end_) {
    if (*p_ == '>') {
      ++p_;
      return;
    }
    if (!has(p_, char_classes::alpha)) {
      ++p_;
      continue;
    }
    const char* name_start = p_;
    std::string_view name = read_upper_name();
    skip_spaces();
    std::optional<std::string_view> value;
    if (p_ < end_ && *p_ == '=') {
      ++p_;
      skip_spaces();
      value = read_value();
    }
    auto* a = placed(new html_attr(recent_.make(name), value ? recent_.make(*value) : html_text()), name_start);
    *tail = a;
    tail = &a->next;
  }
}

// True when "</", the element's name in any case and a character that is not a name
// character (or the end of input) follow at `lt`.
bool html_tokenizer::raw_end_tag_at(const char* lt, std::string_view name) const {
  if (end_ - lt < static_cast<std::ptrdiff_t>(name.size() + 2) || lt[1] != '/')
    return false;
  const char* q = lt + 2;
  for (char want : name)
    if (cc_.upper[static_cast<unsigned char>(*q++)] != want)
      return false;
  return q == end_ || !has(q, char_classes::name);
}

// The content of a raw-text element: everything up to its own end tag, which is skipped. The
// text (possibly empty) and then that end tag go to the builder.
void html_tokenizer::read_raw_text(const html_elt_def* def) {
  const char* start = p_;
  const char* stop = end_;
  for (const char* q = start;;) {
    const void* lt = std::memchr(q, '<', static_cast<std::size_t>(end_ - q));
    if (!lt)
      break;
    q = static_cast<const char*>(lt);
    if (raw_end_tag_at(q, def->name)) {
      stop = q;
      break;
    }
    ++q;
  }
  p_ = stop == end_ ? end_ : stop + 2 + def->name.size();
  skip_end_tag_rest();
  builder_.leaf(placed(new html_elt_text(std::string_view(start, static_cast<std::size_t>(stop - start))), start));
  builder_.end_tag(def, offset_of(stop));
}

// The definition for a tag name: the table row, or the dynamic definition of this parse, so
// that start and end tags of one unknown name share it.
const html_elt_def* html_tokenizer::def_for(std::string_view name) {
  if (const html_elt_def* row = find_tag_def(name))
    return row;
  std::string key(name);
  auto it = dyn_defs_.find(key);
  if (it != dyn_defs_.end())
    return it->second.get();
  auto def = make_rc<html_elt_def_dynamic>(name);
  const html_elt_def* d = def.get();
  dyn_defs_.emplace(std::move(key), std::move(def));
  return d;
}

// The definition for the tag name at the input position, which is read. A tag's name is
// nearly always one met a moment ago, so a short one is first looked for among those.
const html_elt_def* html_tokenizer::read_tag_def() {
  std::string_view name = read_upper_name();
  if (name.empty() || name.size() > sizeof(std::uint64_t))
    return def_for(name);
  std::uint64_t word;
  std::memcpy(&word, short_buf_, sizeof word);
  word &= ~std::uint64_t{0} >> (64 - 8 * name.size());
  def_memo& m = def_memo_[(word * 0x9E3779B97F4A7C15ull) >> (64 - memo_bits)];
  if (m.def && m.word == word)
    return m.def;
  m.word = word;
  m.def = def_for(name);
  return m.def;
}

// A start tag at its name: the node goes to the builder, then its attributes, and for a
// raw-text element its content and end tag.
void html_tokenizer::read_start_tag(const char* lt) {
  const html_elt_def* def = read_tag_def();
  auto* tag = placed(new html_elt_tag(def), lt);
  builder_.start_tag(tag);
  read_attributes(tag);
  if (def->flags & html_elt_def::RAW_TEXT)
    read_raw_text(def);
}

void html_tokenizer::run() {
  while (p_ < end_) {
    if (*p_ == '<' && opens_markup(p_))
      read_markup();
    else
      read_text();
  }
}

}  // namespace

html_element* parse_html_tree(std::string_view input, std::size_t* skeleton_tags) {
  html_tree_builder builder;
  html_tokenizer(input, builder).run();
  if (skeleton_tags)
    *skeleton_tags = builder.skeleton_tags();
  return builder.finish();
}

}  // namespace quillet
