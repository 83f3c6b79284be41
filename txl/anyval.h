// The value of the expression language: anyval, a counted handle to an anyval_imp of kind
// integer, float, string or vector (or empty), with conversions, text forms, literal writing,
// comparison and truth. Values are shared by handles, never copied.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "txl/number_pool.h"
#include "txl/rc_object.h"
#include "txl/value_limits.h"

namespace quillet {

class anyval;
using anyval_list = std::vector<anyval>;

// The most elements make_vector builds: the one vector limit of the expression language.
inline constexpr std::size_t anyval_max_elements = txl_max_vector_elements;

// Type codes of the four kinds; 0 for anything else.
enum anyval_type : int { type_none = 0, type_int = 1, type_float = 2, type_string = 3, type_vector = 4 };

// A double truncated toward zero as the x86 conversion instruction does it: NaN, infinities
// and values outside the 32-bit range give the "integer indefinite" -2147483648. This is a
// float's integer conversion.
inline std::int32_t truncate_to_int32(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0))
    return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

// The abstract value. Derived value classes of other subsystems override these.
class anyval_imp : public dynamic_object {
public:
  virtual void clear() {}
  // Integer conversion: writes the result (0 when there is none) and says whether it succeeded.
  virtual bool to_int(std::int32_t& out) const { out = 0; return false; }
  // Number conversion, likewise.
  virtual bool to_double(double& out) const { out = 0.0; return false; }
  // The value's own byte string, or null when it is not a string.
  virtual const std::string* as_string() const { return nullptr; }
  // The text form a report shows.
  virtual bool to_text(std::string& out) const { out.clear(); return false; }
  // The value's own element list, or null when it is not a vector.
  virtual const anyval_list* as_vector() const { return nullptr; }
  virtual int type() const { return type_none; }

  // In-place access for indexed assignment, which changes the shared object itself.
  std::string* mutable_string() { return const_cast<std::string*>(as_string()); }
  anyval_list* mutable_vector() { return const_cast<anyval_list*>(as_vector()); }

  // type_int, type_float or type_vector when the object is exactly a plain anyval_imp_int,
  // anyval_imp_float or anyval_imp_vector made by anyval's factories, whose number or
  // element list the evaluator may then reach without a virtual call (and overwrite a number
  // while it is the only holder); 0 for every other object, derived classes included.
  std::uint8_t plain_kind = 0;
};

class anyval_imp_int : public anyval_imp {
public:
  explicit anyval_imp_int(std::int32_t v = 0) : value(v) {}
  // Integers and floats live in the number pool.
  static void* operator new(std::size_t size) { return number_pool::allocate(size); }
  static void operator delete(void* p, std::size_t size) noexcept { number_pool::release(p, size); }
  void clear() override { value = 0; }
  bool to_int(std::int32_t& out) const override;
  bool to_double(double& out) const override;
  bool to_text(std::string& out) const override;
  int type() const override { return type_int; }
  std::int32_t value;
};

// Its integer conversion truncates toward zero; NaN, infinities and values outside the
// 32-bit range give -2147483648, as the x86 conversion instruction does.
class anyval_imp_float : public anyval_imp {
public:
  explicit anyval_imp_float(double v = 0.0) : value(v) {}
  static void* operator new(std::size_t size) { return number_pool::allocate(size); }
  static void operator delete(void* p, std::size_t size) noexcept { number_pool::release(p, size); }
  void clear() override { value = 0.0; }
  bool to_int(std::int32_t& out) const override;
  bool to_double(double& out) const override;
  bool to_text(std::string& out) const override;
  int type() const override { return type_float; }
  double value;
};

class anyval_imp_string : public anyval_imp {
public:
  anyval_imp_string() = default;
  explicit anyval_imp_string(std::string t) : text(std::move(t)) {}
  // Strings live in the number pool too (a short text inside the object's own room); larger
  // derived objects get their memory from malloc through it.
  static void* operator new(std::size_t size) { return number_pool::allocate(size); }
  static void operator delete(void* p, std::size_t size) noexcept { number_pool::release(p, size); }
  void clear() override { text.clear(); }
  bool to_int(std::int32_t& out) const override;
  bool to_double(double& out) const override;
  const std::string* as_string() const override { return &text; }
  bool to_text(std::string& out) const override;
  int type() const override { return type_string; }
  std::string text;
};

// Its destructor and clear free nested vectors in a loop, never recursing on their depth.
class anyval_imp_vector : public anyval_imp {
public:
  anyval_imp_vector() = default;
  explicit anyval_imp_vector(anyval_list e);
  ~anyval_imp_vector() override;
  void clear() override;
  bool to_int(std::int32_t& out) const override;
  bool to_double(double& out) const override;
  bool to_text(std::string& out) const override;
  const anyval_list* as_vector() const override { return &elements; }
  int type() const override { return type_vector; }
  anyval_list elements;
};

// Whether the object is a plain integer or float (see anyval_imp::plain_kind).
inline bool plain_number_kind(const anyval_imp& p) {
  return p.plain_kind == type_int || p.plain_kind == type_float;
}

// The element list of a vector: a plain vector's read directly, any other object asked.
inline const anyval_list* vector_elements(const anyval_imp* p) {
  if (!p)
    return nullptr;
  if (p->plain_kind == type_vector)
    return &static_cast<const anyval_imp_vector*>(p)->elements;
  return p->as_vector();
}

// Counted handle to a value; empty means "no value" (not a value of any kind).
class anyval {
public:
  anyval() = default;
  explicit anyval(rc_ptr<anyval_imp> p) : p_(std::move(p)) {}

  static anyval from_int(std::int32_t v);
  static anyval from_float(double v);
  static anyval from_string(std::string_view text);
  static anyval from_vector(anyval_list elements);

  void set_int(std::int32_t v);
  void set_float(double v);
  void set_string(std::string_view text);
  void set_string(const char* bytes, std::size_t length);
  // A new vector of n empty elements (none for n <= 0, at most anyval_max_elements).
  void make_vector(int n);
  void release() { p_.reset(); }

  bool empty() const { return !p_; }
  explicit operator bool() const { return static_cast<bool>(p_); }
  anyval_imp* get() const { return p_.get(); }
  anyval_imp* operator->() const { return p_.get(); }
  const rc_ptr<anyval_imp>& ptr() const { return p_; }

  // Safe on an empty handle: type 0, failed conversions, null accessors.
  int type() const { return p_ ? p_->type() : type_none; }
  bool to_int(std::int32_t& out) const;
  bool to_double(double& out) const;
  bool to_text(std::string& out) const;
  const std::string* as_string() const { return p_ ? p_->as_string() : nullptr; }
  const anyval_list* as_vector() const { return vector_elements(p_.get()); }

  // Same object (not equal contents).
  friend bool operator==(const anyval& a, const anyval& b) { return a.p_ == b.p_; }

private:
  rc_ptr<anyval_imp> p_;
};

// write_literal flag bits.
enum : unsigned {
  literal_unsigned = 1,  // integers with "%u"
  literal_hex = 2,       // integers with "%#X"; wins over literal_unsigned
  literal_fixed = 4,     // floats with "%f"
  literal_exp = 8,       // floats with "%e"; literal_fixed wins
};

// Appends the value as expression source text that compiles back to an equal constant.
// Fails on an empty element or an unknown type code, keeping what was written so far.
bool write_literal(const anyval& value, unsigned flags, std::string& out);

// Appends the "%ld" text of a 32-bit integer, the text form of an integer value.
void append_decimal(std::int32_t v, std::string& out);

// Appends text escaped for the inside of a string literal.
void write_string_literal_body(std::string_view text, std::string& out);

// Two strings compare as byte strings (strcmp), anything else by number conversion.
// Unordered when a number is NaN.
std::partial_ordering compare_values(const anyval& a, const anyval& b);

// True when the integer conversion succeeds and is not 0.
bool is_true(const anyval& v);

}  // namespace quillet
