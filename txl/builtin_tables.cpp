// The two static built-in libraries. Rows are added as the built-in families land; the
// order of rows is the lookup order.
#include "txl/function_entry.h"

namespace quillet {

namespace {
const txl_function_row general_rows[] = {
    {"", {txl_release_nothing, txl_always_current, nullptr}},
};
const txl_function_row condition_rows[] = {
    {"", {txl_release_nothing, txl_always_current, nullptr}},
};
}  // namespace

txl_xfn_library_imp& txl_general_library() {
  static txl_xfn_library_imp lib(general_rows, 0);
  return lib;
}

txl_xfn_library_imp& txl_condition_library() {
  static txl_xfn_library_imp lib(condition_rows, 0);
  return lib;
}

}  // namespace quillet
