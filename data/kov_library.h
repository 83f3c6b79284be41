// The channel-function library: the 23 functions that need the report being produced
// (channels, history, statistics, events, report time, repeat indices, READLIST, DEBUG).
// Each lookup makes a new function object bound to the processor context; the call site
// that binds it owns it and deletes it through the entry's release.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "data/kov_processor_context.h"
#include "txl/function_entry.h"

namespace quillet {

// Base of the functions of this library. The validity check answers whether a result
// returned with a token still holds; evaluate stores the result or fails with a marker.
class kov_txl_function {
public:
  explicit kov_txl_function(kov_processor_context* processor) : processor_(processor) {}
  virtual ~kov_txl_function() = default;
  kov_txl_function(const kov_txl_function&) = delete;
  kov_txl_function& operator=(const kov_txl_function&) = delete;

  virtual bool is_valid(std::int32_t token) const { return true; }
  virtual bool evaluate(txl_call& call, std::span<const anyval> args) = 0;
  // Whether evaluate may find the call site's last result lent in call.result: it sets the
  // result on every success (see txl_function_entry::takes_lent_result).
  bool takes_lent_result() const { return takes_lent_result_; }

protected:
  bool takes_lent_result_ = false;

  // The processor, or the context outside any run when none was set.
  kov_processor_context& context() const { return processor_ ? *processor_ : kov_no_processor(); }

private:
  kov_processor_context* processor_;
};

class kov_txl_library : public txl_xfn_library {
public:
  explicit kov_txl_library(kov_processor_context* processor = nullptr) : processor_(processor) {}
  void set_processor(kov_processor_context* processor) { processor_ = processor; }
  kov_processor_context* processor() const { return processor_; }

  // Finds a name among the 23 (exact, case-sensitive) and makes a new function object as the
  // cookie; the entry's release deletes it.
  bool lookup(const char* name, std::size_t length, const txl_function_entry*& entry,
              txl_cookie& cookie) override;

  // The names in lookup order.
  static std::span<const char* const> names();

private:
  kov_processor_context* processor_;
};

// The entry shared by every function of the library; the cookie is a kov_txl_function.
const txl_function_entry& kov_function_entry();

}  // namespace quillet
