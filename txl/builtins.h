// The plain built-in functions of the general and the conditions-and-bitwise libraries, one
// call function per library row. The class families behind the bitwise, math and statistics
// rows are declared in xfn_bitwise.h, xfn_math.h and xfn_stat.h; the rows in builtin_tables.cpp.
#pragma once

#include "txl/function_entry.h"

namespace quillet {

// Types: conversions and type tests.
bool xfn_int_call(txl_cookie, txl_call& call);
bool xfn_num_call(txl_cookie, txl_call& call);
bool xfn_str_call(txl_cookie, txl_call& call);
bool xfn_chr_call(txl_cookie, txl_call& call);
bool xfn_isint_call(txl_cookie, txl_call& call);
bool xfn_isnum_call(txl_cookie, txl_call& call);
bool xfn_isstr_call(txl_cookie, txl_call& call);
bool xfn_isvec_call(txl_cookie, txl_call& call);

// Vectors and strings.
bool xfn_size_call(txl_cookie, txl_call& call);
bool xfn_list_call(txl_cookie, txl_call& call);
bool xfn_insert_call(txl_cookie, txl_call& call);
bool xfn_remove_call(txl_cookie, txl_call& call);
bool xfn_extract_call(txl_cookie, txl_call& call);
bool xfn_strcmp_call(txl_cookie, txl_call& call);
bool xfn_strfind_call(txl_cookie, txl_call& call);

// Conditions and lookup.
bool xfn_if_call(txl_cookie, txl_call& call);
bool xfn_range_call(txl_cookie, txl_call& call);
bool xfn_find_call(txl_cookie, txl_call& call);

// Bit operations outside the two-operand family.
bool xfn_inv_call(txl_cookie, txl_call& call);
bool xfn_mask_call(txl_cookie, txl_call& call);

}  // namespace quillet
