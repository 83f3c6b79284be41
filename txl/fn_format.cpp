// FORMAT: one value printed by a printf format with exactly one conversion.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "platform/crt/printf_format.h"
#include "txl/anyval.h"
#include "txl/expr_store.h"
#include "txl/fn_time.h"

namespace quillet {

namespace {

// Output longer than this is cut, as the formatter's 1024-byte buffer cut it.
constexpr std::size_t format_output_limit = 1023;

enum class value_class { none, integer, number, string };

struct located_conversion {
  std::size_t size_at = 0;  // index of the size letter, or npos
  value_class kind = value_class::none;
};

// Finds the first "%" that is not half of "%%" and reads past flags, width and precision
// ("+-# 0123456789.") and an optional size letter ("l", "L", "h") to the conversion letter,
// which decides how the value is read: "diuXx" as an integer, "eEfgG" as a number, "s" as a
// string. A wide string ("ls", "Ls") has no reading here. Kind none when there is none.
bool is_spec_char(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '#' || c == ' ' || c == '.';
}

located_conversion locate_conversion(std::string_view f) {
  located_conversion found;
  std::size_t i = 0;
  while (i < f.size() && !(f[i] == '%' && (i + 1 >= f.size() || f[i + 1] != '%')))
    i += f[i] == '%' ? 2 : 1;
  if (i >= f.size())
    return found;
  ++i;
  while (i < f.size() && is_spec_char(f[i]))
    ++i;
  if (i >= f.size())
    return found;
  found.size_at = f[i] == 'l' || f[i] == 'L' || f[i] == 'h' ? i++ : std::string_view::npos;
  if (i >= f.size())
    return found;
  bool wide = found.size_at != std::string_view::npos && f[found.size_at] != 'h';
  char c = f[i];
  if (c == 'd' || c == 'i' || c == 'u' || c == 'X' || c == 'x')
    found.kind = value_class::integer;
  else if (c == 'e' || c == 'E' || c == 'f' || c == 'g' || c == 'G')
    found.kind = value_class::number;
  else if (c == 's' && !wide)
    found.kind = value_class::string;
  return found;
}

// The format as the formatter takes it: a size letter that changes nothing here is dropped
// ("l" and "L" on 32-bit integers, any size on doubles); "h" on integers stays, since it
// reduces the value to 16 bits.
// The text is the format itself when nothing is dropped, or `storage` holding the copy.
std::string_view formatter_text(std::string_view f, const located_conversion& c, std::string& storage) {
  if (c.size_at == std::string_view::npos)
    return f;
  bool keeps = c.kind != value_class::number && f[c.size_at] == 'h';
  if (keeps)
    return f;
  storage.assign(f);
  storage.erase(c.size_at, 1);
  return storage;
}

// A format read once for the calls that bring the same text again, as a report's cells do:
// the class its conversion reads, the conversion as the formatter takes it and the literal
// text before and after it with "%%" as "%". Refused (ok false) when the conversion is not
// one a single value can feed.
struct prepared_format {
  std::string text;
  bool ok = false;
  value_class kind = value_class::none;
  crt::conversion_spec spec;
  std::string before, after;
};

// Whether the conversion letter the formatter found is one of the class's.
bool conversion_of_class(char conversion, value_class kind) {
  switch (kind) {
    case value_class::integer: return crt::is_int_conversion(conversion);
    case value_class::number: return crt::is_float_conversion(conversion);
    case value_class::string: return crt::is_string_conversion(conversion);
    case value_class::none: return false;
  }
  return false;
}

// Reads the format text (up to its first zero byte) into p, refused when the formatter
// would refuse it.
void prepare_format(const std::string& text, prepared_format& p) {
  p.text = text;
  std::string_view f(text.c_str());
  located_conversion conversion = locate_conversion(f);
  std::string storage;
  std::string_view formatter = formatter_text(f, conversion, storage);
  p.kind = conversion.kind;
  p.ok = crt::parse_single_conversion(formatter, p.spec) && conversion_of_class(p.spec.conversion, p.kind);
  p.before.clear();
  p.after.clear();
  if (!p.ok)
    return;
  crt::append_literal(formatter.substr(0, p.spec.begin), p.before);
  crt::append_literal(formatter.substr(p.spec.end), p.after);
}

// The eight or four bytes at p, as a word.
std::uint64_t word8(const char* p) {
  std::uint64_t w = 0;
  std::memcpy(&w, p, 8);
  return w;
}
std::uint32_t word4(const char* p) {
  std::uint32_t w = 0;
  std::memcpy(&w, p, 4);
  return w;
}

// Whether two texts hold the same bytes, compared in place a word at a time: formats are
// short, and a library call costs more than the comparison. The last word of a text of four
// bytes or more ends at its end and may overlap the one before it, so no byte is compared
// alone.
bool same_text(const std::string& a, const std::string& b) {
  const std::size_t n = a.size();
  if (n != b.size())
    return false;
  const char* x = a.data();
  const char* y = b.data();
  if (n >= 8) {
    for (std::size_t i = 0; i + 8 < n; i += 8) {
      if (word8(x + i) != word8(y + i))
        return false;
    }
    return word8(x + n - 8) == word8(y + n - 8);
  }
  if (n >= 4)
    return word4(x) == word4(y) && word4(x + n - 4) == word4(y + n - 4);
  for (std::size_t i = 0; i < n; ++i) {
    if (x[i] != y[i])
      return false;
  }
  return true;
}

// The format prepared for this text: the last one when the text is the same. The first
// state, an empty text refused, is what preparing the empty format gives.
const prepared_format& prepared(const std::string& text) {
  thread_local prepared_format last;
  if (!same_text(last.text, text))
    prepare_format(text, last);
  return last;
}

// Appends the converted value by its class; false when it does not convert.
bool format_value(const prepared_format& p, const anyval& value, std::string& out) {
  switch (p.kind) {
    case value_class::integer: {
      std::int32_t v = 0;
      if (!value.to_int(v))
        return false;
      crt::format_int_spec(p.spec, v, out);
      return true;
    }
    case value_class::number: {
      double v = 0.0;
      const anyval_imp* imp = value.get();
      if (imp->plain_kind == type_float)  // a plain float's number is read in place
        v = static_cast<const anyval_imp_float*>(imp)->value;
      else if (!value.to_double(v))
        return false;
      crt::format_double_spec(p.spec, v, out);
      return true;
    }
    case value_class::string: {
      const std::string* s = value.as_string();
      if (!s)
        return false;
      crt::format_string_spec(p.spec, *s, out);
      return true;
    }
    case value_class::none: return false;
  }
  return false;
}

// The format's text: a literal's, as a report's formats mostly are, read in place; any other
// value asked for its string.
const std::string* format_text(const anyval& v) {
  if (const auto* literal = exactly<txl_literal_string>(v))
    return &literal->text;
  return v.as_string();
}

}  // namespace

// FORMAT(format, value): the text printf gives for the format with that one value, cut to
// 1023 bytes. The format ends at its own first zero byte, and nothing the conversions write
// holds one (a string prints up to its first), so the text needs no cut there. The text is
// written straight into the string value, the lent one when the call alone holds it.
bool xfn_format_call(txl_cookie, txl_call& call) {
  const anyval_list& args = call.arg_list();
  if (args.size() != 2)
    return call.fail("#FORMAT():ARGS#");
  const std::string* format = format_text(args[0]);
  if (!format)
    return call.fail("#FORMAT():FMT#");
  const anyval& value = args[1];
  if (value.empty())
    return call.fail("#FORMAT():VAL");
  const prepared_format& p = prepared(*format);
  if (!p.ok)
    return call.fail("#FORMAT():ERR#");
  std::string& text = call.text_result();
  if (!p.before.empty())
    text.append(p.before);
  if (!format_value(p, value, text)) {
    call.result.release();
    return call.fail("#FORMAT():ERR#");
  }
  if (!p.after.empty())
    text.append(p.after);
  if (text.size() > format_output_limit)
    text.resize(format_output_limit);
  return true;
}

}  // namespace quillet
