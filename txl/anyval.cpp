// The four value kinds, their conversions and text forms, and the handle operations.
#include "txl/anyval.h"

#include <cmath>
#include <cstring>

#include "platform/crt/digit_pairs.h"
#include "platform/crt/number_text.h"
#include "platform/crt/printf_format.h"

namespace quillet {

namespace {

using crt::digit_pairs;

}  // namespace

// Made right to left two digits at a time and appended in one piece: a report shows an
// integer in many of its cells.
void append_decimal(std::int32_t v, std::string& out) {
  char buf[12];
  char* const end = buf + sizeof buf;
  char* p = end;
  std::uint32_t n = v < 0 ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
  for (; n >= 100; n /= 100) {
    p -= 2;
    std::memcpy(p, &digit_pairs[2 * (n % 100)], 2);
  }
  if (n >= 10) {
    p -= 2;
    std::memcpy(p, &digit_pairs[2 * n], 2);
  } else {
    *--p = static_cast<char>('0' + n);
  }
  if (v < 0)
    *--p = '-';
  out.append(p, static_cast<std::size_t>(end - p));
}

namespace {

// Lets go of a list of values without recursing on their nesting: a vector whose last
// reference is about to drop gives up its elements to the work list first, so a chain of
// vectors a million deep is freed in a loop.
void release_elements(anyval_list& elements) {
  anyval_list work = std::move(elements);
  elements.clear();
  while (!work.empty()) {
    anyval v = std::move(work.back());
    work.pop_back();
    anyval_imp* imp = v.get();
    if (!imp || imp->ref_count() != 1 || imp->type() != type_vector)
      continue;
    anyval_list* inner = imp->mutable_vector();
    if (!inner)
      continue;
    for (anyval& e : *inner)
      work.push_back(std::move(e));
    inner->clear();
  }
}

}  // namespace

bool anyval_imp_int::to_int(std::int32_t& out) const {
  out = value;
  return true;
}

bool anyval_imp_int::to_double(double& out) const {
  out = value;
  return true;
}

bool anyval_imp_int::to_text(std::string& out) const {
  out.clear();
  append_decimal(value, out);
  return true;
}

bool anyval_imp_float::to_int(std::int32_t& out) const {
  out = truncate_to_int32(value);
  return true;
}

bool anyval_imp_float::to_double(double& out) const {
  out = value;
  return true;
}

// The "%g" text with the original runtime's three-digit exponent and 1.#INF family.
bool anyval_imp_float::to_text(std::string& out) const {
  crt::conversion_spec g;
  g.conversion = 'g';
  out.clear();
  crt::format_double_spec(g, value, out);
  return true;
}

// The text read as a 32-bit unsigned long with automatic base; it counts only when a number
// was read and nothing but white space follows it. The number is stored either way.
bool anyval_imp_string::to_int(std::int32_t& out) const {
  std::size_t consumed = 0;
  out = static_cast<std::int32_t>(crt::strtoul32(text, consumed));
  return consumed > 0 && crt::only_space_after(text, consumed);
}

// The text read as a decimal floating-point number, with the same rule for what follows it.
bool anyval_imp_string::to_double(double& out) const {
  std::size_t consumed = 0;
  out = crt::strtod_decimal(text, consumed);
  return consumed > 0 && crt::only_space_after(text, consumed);
}

bool anyval_imp_string::to_text(std::string& out) const {
  out = text;
  return true;
}

anyval_imp_vector::anyval_imp_vector(anyval_list e) : elements(std::move(e)) {}

anyval_imp_vector::~anyval_imp_vector() { release_elements(elements); }

void anyval_imp_vector::clear() { release_elements(elements); }

bool anyval_imp_vector::to_int(std::int32_t& out) const {
  out = static_cast<std::int32_t>(elements.size());
  return true;
}

bool anyval_imp_vector::to_double(double& out) const {
  out = static_cast<double>(elements.size());
  return true;
}

// A vector shows as its element count, not its elements.
bool anyval_imp_vector::to_text(std::string& out) const {
  out.clear();
  append_decimal(static_cast<std::int32_t>(elements.size()), out);
  return true;
}

// Numbers and vectors made here are marked plain, so the evaluator's fast paths know their exact class.
anyval anyval::from_int(std::int32_t v) {
  auto p = make_rc<anyval_imp_int>(v);
  p->plain_kind = type_int;
  return anyval(std::move(p));
}

anyval anyval::from_float(double v) {
  auto p = make_rc<anyval_imp_float>(v);
  p->plain_kind = type_float;
  return anyval(std::move(p));
}

anyval anyval::from_string(std::string_view text) {
  return anyval(make_rc<anyval_imp_string>(std::string(text)));
}

anyval anyval::from_vector(anyval_list elements) {
  auto p = make_rc<anyval_imp_vector>(std::move(elements));
  p->plain_kind = type_vector;
  return anyval(std::move(p));
}

// A plain number that this handle alone holds is overwritten where it lies: nobody else can
// see the difference, and a result set for every cell of a table then makes no new object.
void anyval::set_int(std::int32_t v) {
  anyval_imp* p = p_.get();
  if (p && p->plain_kind == type_int && p->ref_count() == 1) {
    static_cast<anyval_imp_int*>(p)->value = v;
    return;
  }
  *this = from_int(v);
}

void anyval::set_float(double v) {
  anyval_imp* p = p_.get();
  if (p && p->plain_kind == type_float && p->ref_count() == 1) {
    static_cast<anyval_imp_float*>(p)->value = v;
    return;
  }
  *this = from_float(v);
}

void anyval::set_string(std::string_view text) { *this = from_string(text); }

void anyval::set_string(const char* bytes, std::size_t length) {
  *this = from_string(std::string_view(bytes, length));
}

// Sizes above anyval_max_elements are cut to it, so no input can ask for unbounded memory.
void anyval::make_vector(int n) {
  std::size_t count = n > 0 ? static_cast<std::size_t>(n) : 0;
  if (count > anyval_max_elements)
    count = anyval_max_elements;
  *this = from_vector(anyval_list(count));
}

bool anyval::to_int(std::int32_t& out) const {
  if (p_)
    return p_->to_int(out);
  out = 0;
  return false;
}

bool anyval::to_double(double& out) const {
  if (p_)
    return p_->to_double(out);
  out = 0.0;
  return false;
}

bool anyval::to_text(std::string& out) const {
  if (p_)
    return p_->to_text(out);
  out.clear();
  return false;
}

}  // namespace quillet
