// Code-page conversions of the editor through iconv, one character at a time where the code
// page cannot hold a character.
#include "editor/codepage_text.h"

#include <iconv.h>

#include <cerrno>

#include "platform/crt/char_class.h"

namespace quillet::editor {

namespace {

class iconv_handle {
public:
  iconv_handle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~iconv_handle() {
    if (ok())
      iconv_close(cd_);
  }
  iconv_handle(const iconv_handle&) = delete;
  iconv_handle& operator=(const iconv_handle&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

private:
  iconv_t cd_;
};

// The length of the UTF-8 sequence that starts with `lead`; 0 for a byte that starts none.
std::size_t utf8_length(unsigned char lead) {
  if (lead < 0x80)
    return 1;
  if (lead >= 0xC2 && lead < 0xE0)
    return 2;
  if (lead >= 0xE0 && lead < 0xF0)
    return 3;
  if (lead >= 0xF0 && lead < 0xF5)
    return 4;
  return 0;
}

// The code point of a valid UTF-8 sequence.
unsigned code_point(std::string_view seq) {
  unsigned lead = static_cast<unsigned char>(seq[0]);
  unsigned cp = seq.size() == 1 ? lead : lead & (0x7F >> seq.size());
  for (std::size_t i = 1; i < seq.size(); ++i)
    cp = (cp << 6) | (static_cast<unsigned char>(seq[i]) & 0x3F);
  return cp;
}

}  // namespace

std::string codepage_name() { return crt::codepage_iconv_name(crt::current_codepage()); }

namespace {

// Bytes of code page `from` (an iconv name) as UTF-8; a byte without a character becomes U+FFFD.
std::string to_utf8(std::string_view text, const char* from) {
  iconv_handle cd("UTF-8", from);
  std::string out;
  char* src = const_cast<char*>(text.data());
  std::size_t left = text.size();
  char buf[4096];
  while (cd.ok() && left > 0) {
    char* dst = buf;
    std::size_t room = sizeof buf;
    std::size_t r = iconv(cd.get(), &src, &left, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r != static_cast<std::size_t>(-1) || errno == E2BIG)
      continue;
    // A byte without a character (or a cut multi-byte one) shows as the replacement character.
    out += "\xEF\xBF\xBD";
    ++src;
    --left;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

}  // namespace

std::string ansi_to_utf8(std::string_view text) { return to_utf8(text, codepage_name().c_str()); }

std::optional<crt::codepage> declared_codepage(std::string_view bytes) {
  std::string head(bytes.substr(0, 4096));
  for (char& c : head)
    c = static_cast<char>(crt::to_lower(static_cast<unsigned char>(c)));
  std::size_t at = head.find("charset=");
  if (at == std::string::npos)
    return std::nullopt;
  std::size_t end = head.find_first_of("\"'; >", at + 8);
  crt::codepage cp;
  if (!crt::parse_codepage(std::string_view(head).substr(at + 8, end - at - 8), cp))
    return std::nullopt;
  return cp;
}

std::string in_codepage_in_force(std::string bytes) {
  std::optional<crt::codepage> declared = declared_codepage(bytes);
  if (!declared || *declared == crt::current_codepage())
    return bytes;
  std::optional<std::string> converted = utf8_to_ansi(to_utf8(bytes, crt::codepage_iconv_name(*declared)), true);
  return converted ? *converted : bytes;
}

std::optional<std::string> utf8_to_ansi(std::string_view text, bool references, std::string* bad) {
  iconv_handle cd(codepage_name().c_str(), "UTF-8");
  if (!cd.ok())
    return std::nullopt;
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t n = utf8_length(static_cast<unsigned char>(text[pos]));
    if (n == 0 || pos + n > text.size())
      return std::nullopt;
    std::string_view seq = text.substr(pos, n);
    pos += n;
    if (n == 1) {
      out += seq[0];
      continue;
    }
    char buf[8];
    char* src = const_cast<char*>(seq.data());
    std::size_t left = seq.size();
    char* dst = buf;
    std::size_t room = sizeof buf;
    if (iconv(cd.get(), &src, &left, &dst, &room) != static_cast<std::size_t>(-1) && left == 0) {
      out.append(buf, static_cast<std::size_t>(dst - buf));
      continue;
    }
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    if (!references) {
      if (bad)
        *bad = std::string(seq);
      return std::nullopt;
    }
    out += "&#" + std::to_string(code_point(seq)) + ";";
  }
  return out;
}

}  // namespace quillet::editor
