// READLIST: a vector built from a text file, one element per non-empty line, each line
// compiled and evaluated as an expression of the template.
#include <string>
#include <vector>

#include "data/kov_functions.h"
#include "platform/files/contained_path.h"
#include "platform/files/input_file.h"
#include "txl/binding.h"
#include "txl/compiler.h"
#include "txl/loop_budget.h"
#include "txl/user_function.h"

namespace quillet {

namespace {

// Largest list file read, most elements one list gives, and how deeply a list line may read
// another list (a file that reads itself would otherwise never end).
constexpr std::size_t readlist_max_bytes = std::size_t{16} << 20;
constexpr std::size_t readlist_max_elements = std::size_t{1} << 14;
constexpr int readlist_max_nesting = 8;

thread_local int readlist_nesting = 0;

struct nesting_guard {
  nesting_guard() { ++readlist_nesting; }
  ~nesting_guard() { --readlist_nesting; }
};

// The error text of the file or of one line: "#READLIST(path:line):" and the failure.
std::string line_error(const std::string& path, long line, std::string_view what) {
  return "#READLIST(" + path + ":" + std::to_string(line) + "):" + std::string(what);
}

// A name starting at the root is used as it is; any other is taken in the template's folder.
std::string resolve_list_path(const std::string& name, std::string_view folder) {
  if (folder.empty() || (!name.empty() && name[0] == '/'))
    return name;
  std::string path(folder);
  if (path.back() != '/')
    path += '/';
  return path + name;
}

// Compiles and evaluates one line as a template expression: its value, or the error text
// that takes its place.
anyval line_value(std::string_view text, txl_binder& binder, const std::string& path, long line) {
  auto function = make_rc<txl_user_function>(std::string(), std::string(text));
  txl_compiler compiler;
  if (compiler.compile(text, function.get()) != 0)
    return anyval::from_string(line_error(path, line, "syntax error"));
  binder.bind_all(*function);
  std::string error;
  txl_call call;
  call.args = anyval::from_vector({});
  call.error = &error;
  const bool ok = function->call(call);
  function->unbind_calls();
  if (ok && !call.result.empty())
    return call.result;
  return anyval::from_string(line_error(path, line, error.empty() ? "compute error" : error));
}

// The line's expression text: leading blanks, carriage returns and line feeds skipped, and
// the carriage return of a CR LF line end dropped.
std::string_view line_text(std::string_view line) {
  const std::size_t start = line.find_first_not_of(" \r\n");
  if (start == std::string_view::npos)
    return {};
  line.remove_prefix(start);
  if (line.back() == '\r')
    line.remove_suffix(1);
  return line;
}

struct list_line {
  long number;
  std::string_view text;
};

// The non-empty lines with their numbers (every line counts). False, with the number of
// the first line past the bound, when there are too many, before any line is compiled.
bool split_list_lines(std::string_view content, std::vector<list_line>& lines, long& number) {
  number = 0;
  for (std::size_t at = 0; at < content.size();) {
    std::size_t end = content.find('\n', at);
    end = end == std::string_view::npos ? content.size() : end;
    const std::string_view text = line_text(content.substr(at, end - at));
    at = end + 1;
    ++number;
    if (text.empty())
      continue;
    if (lines.size() == readlist_max_elements)
      return false;
    lines.push_back({number, text});
  }
  return true;
}

// Why a list file gave nothing: what was opened but is no list ("it is a folder", "it is not
// a regular file ...", "it is larger than N bytes") says so; a file that could not be opened
// at all keeps the long-standing "error opening file" that templates may test for.
std::string list_file_error(const std::string& error) {
  return error.rfind("it is ", 0) == 0 ? error : std::string("error opening file");
}

}  // namespace

// READLIST(filename): the values of the file's non-empty lines in order. A line that does not
// compile or evaluate gives its error text as the element; only a file that cannot be read,
// or that holds too many lines, fails the call.
bool kov_txl_function_READLIST::evaluate(txl_call& call, std::span<const anyval> args) {
  const std::string* name = args.empty() ? nullptr : args[0].as_string();
  if (!name)
    return call.fail("#READLIST:ARGS#");
  const std::string path = resolve_list_path(*name, context().template_folder());
  if (readlist_nesting >= readlist_max_nesting)
    return call.fail(line_error(path, -1, "lists nested too deeply"));
  nesting_guard guard;
  std::string content;
  std::string error;
  std::string checked = path;
  if (context().files_restricted() &&
      !files::resolve_inside(path, std::string(context().template_folder()), checked, error))
    return call.fail(line_error(path, -1, list_file_error(error)));
  files::file_identity identity;
  if (!files::read_regular_file(checked, readlist_max_bytes, content, error, &identity))
    return call.fail(line_error(path, -1, list_file_error(error)));
  context().note_input(identity);
  std::vector<list_line> lines;
  long number = 0;
  if (!split_list_lines(content, lines, number))
    return call.fail(line_error(path, number, "too many lines"));
  txl_binder binder(context().diagnostics());
  context().prepare_binder(binder);
  anyval_list elements;
  elements.reserve(lines.size());
  for (const list_line& line : lines) {
    // Each line is work as a loop step is: lists that read each other fan out, and the
    // run's budget bounds them with its loops.
    if (!txl_count_work(txl_work::list_line, error))
      return call.fail(line_error(path, line.number, error));
    elements.push_back(line_value(line.text, binder, path, line.number));
  }
  call.result = anyval::from_vector(std::move(elements));
  return true;
}

}  // namespace quillet
