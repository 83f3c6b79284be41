// Wide-text conversions through iconv; code pages come from the character-class settings.
#include "platform/com/wide_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/crt/char_class.h"

namespace quillet::com {

namespace {

// The conversion descriptors this thread has opened, one per pair of encodings: opening one
// looks the encodings up and may load a converter module, which costs far more than a short
// conversion. Closed when the thread ends.
class iconv_cache {
public:
  ~iconv_cache() {
    for (const entry& e : entries_)
      iconv_close(e.cd);
  }

  // The descriptor from `from` to `to`, in its initial state; (iconv_t)-1 when iconv has no
  // such conversion.
  iconv_t get(const char* to, const char* from) {
    for (const entry& e : entries_)
      if (e.to == to && e.from == from) {
        iconv(e.cd, nullptr, nullptr, nullptr, nullptr);
        return e.cd;
      }
    iconv_t cd = iconv_open(to, from);
    if (cd != reinterpret_cast<iconv_t>(-1))
      entries_.push_back({to, from, cd});
    return cd;
  }

private:
  struct entry {
    std::string to, from;
    iconv_t cd;
  };
  std::vector<entry> entries_;
};

// Runs iconv over the whole input. An input unit that cannot be converted is skipped
// (`skip` bytes) and `replacement` (already in the target encoding) is written instead;
// returns false when that happened and `strict` asked for failure.
bool run_iconv(const char* to, const char* from, std::string_view in, std::size_t skip,
               std::string_view replacement, bool strict, std::string& out) {
  out.clear();
  thread_local iconv_cache cache;
  iconv_t cd = cache.get(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    return false;
  char* src = const_cast<char*>(in.data());
  std::size_t left = in.size();
  char buf[1024];
  bool ok = true;
  while (left > 0) {
    char* dst = buf;
    std::size_t room = sizeof buf;
    const std::size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r != static_cast<std::size_t>(-1) || errno == E2BIG)
      continue;
    ok = false;
    if (strict)
      break;
    const std::size_t n = left < skip ? left : skip;
    src += n;
    left -= n;
    out.append(replacement);
  }
  return ok || !strict;
}

std::string_view bytes_of(std::u16string_view text) {
  return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

std::u16string wide_of(const std::string& bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

const char* ansi_name() { return crt::codepage_iconv_name(crt::current_codepage()); }

constexpr std::string_view wide_replacement{"\xFD\xFF", 2};

// ASCII reads the same in every code page the settings offer and in UTF-8: such texts (most
// names of nodes, channels and files) are widened or narrowed unit by unit, without iconv.
bool is_ascii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  return true;
}

bool is_ascii(std::u16string_view text) {
  for (const char16_t c : text)
    if (c >= 0x80)
      return false;
  return true;
}

std::u16string widen_ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::string narrow_ascii(std::u16string_view text) {
  std::string out(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<char>(text[i]);
  return out;
}

}  // namespace

std::u16string ansi_to_wide(std::string_view text) {
  if (is_ascii(text))
    return widen_ascii(text);
  std::string bytes;
  run_iconv("UTF-16LE", ansi_name(), text, 1, wide_replacement, false, bytes);
  return wide_of(bytes);
}

std::string wide_to_ansi(std::u16string_view text) {
  if (is_ascii(text))
    return narrow_ascii(text);
  std::string out;
  run_iconv(ansi_name(), "UTF-16LE", bytes_of(text), 2, "?", false, out);
  return out;
}

bool utf8_to_wide(std::string_view text, std::u16string& out) {
  if (is_ascii(text)) {
    out = widen_ascii(text);
    return true;
  }
  std::string bytes;
  out.clear();
  if (!run_iconv("UTF-16LE", "UTF-8", text, 1, {}, true, bytes))
    return false;
  out = wide_of(bytes);
  return true;
}

std::string wide_to_utf8(std::u16string_view text) {
  if (is_ascii(text))
    return narrow_ascii(text);
  std::string out;
  run_iconv("UTF-8", "UTF-16LE", bytes_of(text), 2, "\xEF\xBF\xBD", false, out);
  return out;
}

}  // namespace quillet::com
