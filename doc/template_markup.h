// The template markup: directive comments ("$VX " and a keyword) that carry the dynamic
// properties of elements, the template's variables, its settings and a fragment's wizard
// parameters. Properties are txl_user_function objects held in ordered lists; the lists and
// the wizard parameters own their functions. Nothing here evaluates against a data source.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "doc/html_node.h"
#include "txl/user_function.h"

namespace quillet {

// An ordered list of properties (name = expression pairs), in the order of the directive.
using txl_prop_list = std::vector<rc_ptr<txl_user_function>>;

// Keyword index of a directive comment.
enum directive_keyword : int {
  directive_elt = 0,    // "ELT": an element's dynamic properties
  directive_var = 1,    // "VAR": one template variable
  directive_doc = 2,    // "DOC": document settings PRJ and REFRESH
  directive_wiz = 3,    // "WIZ": fragment header CLSID, NAME, DESC
  directive_wparm = 4,  // "WPARM": one wizard parameter
};

// How a directive's values are read.
enum directive_mode : int {
  mode_keep_and_compile = 0,  // keep the text and compile it
  mode_keep_text = 1,         // keep the text only (editor)
  mode_compile = 2,           // compile and drop the text (report generation)
};

// Most bytes a directive text may grow to by parameter substitution.
inline constexpr std::size_t directive_max_substituted = std::size_t{16} << 20;

// The keyword text of an index ("ELT" ... "WPARM"); empty outside 0..4.
std::string_view directive_keyword_name(int index);
// The keyword index of a decoded comment text, or -1 when it is no directive.
int directive_keyword_of(std::string_view text);

// Entities of directive texts: decoding turns "&amp;", "&lt;" and "&gt;" into their characters
// and leaves every other "&" alone; encoding writes "&", "<" and ">" as those entities.
std::string decode_directive_entities(std::string_view text);
std::string encode_directive_entities(std::string_view text);
// Decodes as above and records in `origin` (cleared first) where each decoded byte stands in
// the file, the text's first byte standing at `at`; nothing is recorded for no_source_offset.
std::string decode_directive_entities(std::string_view text, std::uint32_t at, txl_text_origin& origin);

// How a property name is written: bare when it is made of ASCII letters, digits and "_" and
// does not start with a digit, otherwise as a double-quoted string literal.
std::string directive_name_form(std::string_view name);
// How an expression text is written between "%{" and "}%": an equivalent expression in which
// neither "--" nor "}%" occurs and in which the directive reader finds the closing "}%".
std::string directive_value_form(std::string_view text);
// The comment body of a directive (entities encoded), as write_directive_list inserts it.
std::string directive_comment_text(int index, const txl_prop_list& props);

// Parameter substitution: every "{$NAME}" whose NAME is a parameter's name becomes that
// parameter's text; other references stay. Nothing when the result would pass the limit above.
// With `origin` (where the bytes of `text` stand), it is rewritten for the result: the bytes
// of a parameter's text stand where its reference stood.
std::optional<std::string> substitute_params(std::string_view text, const txl_prop_list& params,
                                             txl_text_origin* origin = nullptr);

// What looking for a directive found.
enum class directive_found { absent, read, failed };

// Finds the first directive comment of keyword `index` among the direct members of `list`,
// appends its pairs to `props` and removes the comment. `failed` when a pair did not parse or
// compile; the pairs before it stay in `props` and the comment is removed all the same.
directive_found read_directive(html_element*& list, int index, txl_prop_list& props, int mode,
                               const txl_prop_list* params = nullptr);
// As read_directive: true only when the comment was found and every pair was read.
bool read_directive_list(html_element*& list, int index, txl_prop_list& props, int mode,
                         const txl_prop_list* params = nullptr);
// Reads every VAR comment among the direct members of `list`, in order, appending the ones
// that parse to `props` and removing all of them.
void read_directive_vars(html_element*& list, txl_prop_list& props, int mode,
                         const txl_prop_list* params = nullptr);

// Inserts a directive comment (flags 0) at the head of `list`, or after its last node.
void write_directive_list(html_element*& list, int index, const txl_prop_list& props, bool at_end);
// Appends one VAR comment (flag NL_AFTER) per property at the end of `list`.
void write_directive_vars(html_element*& list, const txl_prop_list& props);

// Evaluates the property `name` (compiling its text first when it has no body) and gives the
// result's text form in `out`; its index, or -1 (with `out` empty) when there is no such
// property or it yields no value.
int get_prop_string(const txl_prop_list& props, std::string_view name, std::string& out);
// Gives the property `name` (appended when missing) the string literal of `text` as its
// expression and drops its compiled body.
void set_prop_string(std::string_view name, std::string_view text, txl_prop_list& props);
// The property of that exact name, or null.
txl_user_function* find_prop(const txl_prop_list& props, std::string_view name);

// The leading decimal number of a setting's text, as atoi reads it, held to the int range.
int setting_number(std::string_view text);

// Reads the DOC directive of HEAD's list: PRJ into `project`, REFRESH as a number of seconds
// into `refresh`, and STORE (the history store reports read) into `store` when it is given.
// False when there is none or a pair failed; what was read is used all the same.
bool read_doc_settings(html_element*& head_list, int mode, std::string& project, int& refresh,
                       std::string* store = nullptr);
// Appends a DOC comment with PRJ and REFRESH, both as string literals, at the end of the list,
// and STORE after them when one is given.
void write_doc_settings(html_element*& head_list, std::string_view project, int refresh, std::string_view store = {});

// A wizard parameter of a fragment: `fn` holds the name and the default value expression.
class htdoc_wparm : public dynamic_object {
public:
  htdoc_wparm() : fn(make_rc<txl_user_function>()) {}
  rc_ptr<txl_user_function> fn;
  std::string desc;
  std::string type;
  std::string prompt;
};

// A fragment's header: its class identifier (empty for an ordinary template), name,
// description and the parameters with a name, in file order.
struct htdoc_fragment_header {
  std::string clsid;
  std::string name = "Obj";
  std::string desc;
  std::vector<rc_ptr<htdoc_wparm>> params;
};

// A parameter type keyword and the text the wizard shows for it.
struct wparm_type_row {
  std::string_view keyword;
  std::string_view display;
};
extern const std::array<wparm_type_row, 11> wparm_types;
// The display text of a TYPE keyword, or empty when it is none of the table.
std::string_view wparm_type_display(std::string_view keyword);

// Reads the WIZ comment and every WPARM comment of HEAD's list (removing them) into `header`,
// which is reset first. True when a WIZ comment was found.
bool read_fragment_header(html_element*& head_list, htdoc_fragment_header& header,
                          const txl_prop_list* params = nullptr);
// Appends the WIZ and WPARM comments at the end of the list; nothing when CLSID is empty.
void write_fragment_header(html_element*& head_list, const htdoc_fragment_header& header);
// The parameters' functions, in order: the parameter list of substitution.
txl_prop_list fragment_param_list(const htdoc_fragment_header& header);
// The value of the reserved parameter ID for a fragment inserted into a document with these
// variables: the fragment's name followed by the smallest n >= 1 such that no variable's name
// starts with name, n and ".".
std::string fragment_instance_id(std::string_view fragment_name, const txl_prop_list& variables);

}  // namespace quillet
