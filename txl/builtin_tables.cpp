// The two static built-in libraries. The order of rows is the lookup order; the row counts are
// taken from the tables.
#include <iterator>

#include "txl/builtins.h"
#include "txl/fn_time.h"
#include "txl/function_entry.h"
#include "txl/xfn_bitwise.h"
#include "txl/xfn_math.h"
#include "txl/xfn_stat.h"

namespace quillet {

namespace {

const txl_function_row general_rows[] = {
    TXL_BUILTIN("SIZE", xfn_size_call),
    TXL_BUILTIN("LIST", xfn_list_call),
    TXL_BUILTIN("INT", xfn_int_call),
    TXL_BUILTIN("NUM", xfn_num_call),
    TXL_BUILTIN_LENT("STR", xfn_str_call),
    TXL_BUILTIN("CHR", xfn_chr_call),
    TXL_BUILTIN("ISINT", xfn_isint_call),
    TXL_BUILTIN("ISNUM", xfn_isnum_call),
    TXL_BUILTIN("ISSTR", xfn_isstr_call),
    TXL_BUILTIN("ISVEC", xfn_isvec_call),
    TXL_BUILTIN("RANGE", xfn_range_call),
    TXL_BUILTIN("FIND", xfn_find_call),
    TXL_BUILTIN("MASK", xfn_mask_call),
    TXL_BUILTIN("FLOOR", xfn_math_floor::call),
    TXL_BUILTIN("CEIL", xfn_math_ceil::call),
    TXL_BUILTIN("PI", xfn_math_pi::call),
    TXL_BUILTIN("ABS", xfn_math_abs::call),
    TXL_BUILTIN("SQRT", xfn_math_sqrt::call),
    TXL_BUILTIN("POW", xfn_math_pow::call),
    TXL_BUILTIN("LOG", xfn_math_log::call),
    TXL_BUILTIN("LOG10", xfn_math_log10::call),
    TXL_BUILTIN("EXP", xfn_math_exp::call),
    TXL_BUILTIN("SIN", xfn_math_sin::call),
    TXL_BUILTIN("COS", xfn_math_cos::call),
    TXL_BUILTIN("TAN", xfn_math_tan::call),
    TXL_BUILTIN("ACOS", xfn_math_acos::call),
    TXL_BUILTIN("ASIN", xfn_math_asin::call),
    TXL_BUILTIN("ATAN", xfn_math_atan::call),
    TXL_BUILTIN("SUM", xfn_stat_sum::call),
    TXL_BUILTIN("SUM2", xfn_stat_sum2::call),
    TXL_BUILTIN("AVG", xfn_stat_avg::call),
    TXL_BUILTIN("DISP", xfn_stat_disp::call),
    TXL_BUILTIN("STDEV", xfn_stat_stdev::call),
    TXL_BUILTIN("STDEVN", xfn_stat_stdevn::call),
    TXL_BUILTIN("MAX", xfn_stat_max::call),
    TXL_BUILTIN("MIN", xfn_stat_min::call),
    TXL_BUILTIN("MAX_T", xfn_stat_max_t::call),
    TXL_BUILTIN("MIN_T", xfn_stat_min_t::call),
    TXL_BUILTIN("INSERT", xfn_insert_call),
    TXL_BUILTIN("REMOVE", xfn_remove_call),
    TXL_BUILTIN("EXTRACT", xfn_extract_call),
    TXL_BUILTIN("STRCMP", xfn_strcmp_call),
    TXL_BUILTIN("STRFIND", xfn_strfind_call),
    TXL_BUILTIN("MKTIME", xfn_mktime_call),
    TXL_BUILTIN("RTIME", xfn_rtime_call),
    TXL_BUILTIN("DTIME", xfn_dtime_call),
    TXL_BUILTIN_LENT("TIMESTR", xfn_timestr_call),
    TXL_BUILTIN_LENT("FORMAT", xfn_format_call),
};

const txl_function_row condition_rows[] = {
    TXL_BUILTIN("IF", xfn_if_call),
    TXL_BUILTIN("AND", xfn_bitwise_and::call),
    TXL_BUILTIN("OR", xfn_bitwise_or::call),
    TXL_BUILTIN("XOR", xfn_bitwise_xor::call),
    TXL_BUILTIN("INV", xfn_inv_call),
    TXL_BUILTIN("SHL", xfn_bitwise_shl::call),
    TXL_BUILTIN("SHR", xfn_bitwise_shr::call),
};

}  // namespace

txl_xfn_library_imp& txl_general_library() {
  static txl_xfn_library_imp lib(general_rows, static_cast<std::int32_t>(std::size(general_rows)));
  return lib;
}

txl_xfn_library_imp& txl_condition_library() {
  static txl_xfn_library_imp lib(condition_rows, static_cast<std::int32_t>(std::size(condition_rows)));
  return lib;
}

}  // namespace quillet
