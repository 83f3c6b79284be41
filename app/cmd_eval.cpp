// quillet eval: compile an expression as an unnamed template property, bind it with the
// --var user functions as template variables, evaluate it and print the value.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/eval_context.h"
#include "app/option_values.h"
#include "report/report_data.h"
#include "report/htdoc_processor.h"
#include "txl/binding.h"
#include "txl/compiler.h"
#include "txl/loop_budget.h"
#include "txl/user_function.h"

namespace quillet::app {

namespace {

const char eval_usage[] =
    "usage: quillet eval [--project FILE] [--time T] [--store STORE] [--var NAME=EXPR]... [--text]\n"
    "                    [--restrict-files] [--] EXPR\n\n"
    "Channel functions read the simulated data source over --project (default: the bundled\n"
    "demo project), or the history store --store (sqlite:PATH or postgresql://...), at --time\n"
    "(seconds since 1970 or YYYY-MM-DDTHH:MM:SS; default: now).\n"
    "Compiles EXPR as a template property, with each --var as a template variable that\n"
    "EXPR calls as @NAME, evaluates it and prints the value as expression source\n"
    "(strings quoted, vectors as LIST(...)); --text prints the text form a report shows.\n"
    "READLIST names are taken in the current folder; --restrict-files refuses lists outside\n"
    "it and its subfolders (links and '..' resolved first). Loop iterations, user-function\n"
    "calls and READLIST lines together are bounded as in a report run (#LOOP#).\n"
    "Exit 0 on success, 1 when the evaluation fails (the error text is printed),\n"
    "2 when a text does not compile or the command line is wrong.\n";

struct eval_options {
  std::vector<std::pair<std::string, std::string>> vars;  // name, expression text
  std::string expression;
  bool have_expression = false;
  bool text = false;
  std::string project;
  std::string store;
  std::uint32_t time = 0;
  bool have_time = false;
  bool restrict_files = false;
};

// Takes the expression; false with a message when there is one already.
bool take_expression(const std::string& a, eval_options& o) {
  if (o.have_expression) {
    std::fprintf(stderr, "quillet eval: more than one expression given ('%s')\n", a.c_str());
    return false;
  }
  o.expression = a;
  o.have_expression = true;
  return true;
}

// Reads the command line; false with a message on stderr when it is wrong. After "--" the
// argument is the expression even when it starts with "--".
bool parse_eval_args(const arg_list& args, eval_options& o) {
  bool options = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!options || a == "--") {
      if (!options && !take_expression(a, o))
        return false;
      options = false;
    } else if (a == "--text") {
      o.text = true;
    } else if (a == "--restrict-files") {
      o.restrict_files = true;
    } else if ((a == "--project" || a == "--time" || a == "--store") && i + 1 >= args.size()) {
      std::fprintf(stderr, "quillet eval: %s needs a value\n", a.c_str());
      return false;
    } else if (a == "--project") {
      o.project = args[++i];
    } else if (a == "--store") {
      o.store = args[++i];
    } else if (a == "--time") {
      std::string why;
      o.have_time = parse_report_time(args[++i], o.time, why);
      if (!o.have_time) {
        std::fprintf(stderr, "quillet eval: '%s' is not a time for --time%s%s\n", args[i].c_str(), why.empty() ? "" : ": ",
                     why.c_str());
        return false;
      }
    } else if (a == "--var") {
      std::size_t eq = i + 1 < args.size() ? args[i + 1].find('=') : std::string::npos;
      if (eq == std::string::npos || eq == 0) {
        std::fprintf(stderr, "quillet eval: --var needs NAME=EXPR\n");
        return false;
      }
      o.vars.emplace_back(args[i + 1].substr(0, eq), args[i + 1].substr(eq + 1));
      ++i;
    } else if (a.size() > 1 && a.compare(0, 2, "--") == 0) {
      std::fprintf(stderr, "quillet eval: unknown option '%s'%s\n", a.c_str(),
                   did_you_mean(a, {"--project", "--time", "--store", "--var", "--text", "--restrict-files"}).c_str());
      return false;
    } else if (!take_expression(a, o)) {
      return false;
    }
  }
  if (o.have_expression)
    return true;
  std::fprintf(stderr, "quillet eval: no expression given; 'quillet eval --help' shows the usage\n");
  return false;
}

// Compiles one text into a function; false with the compile message on stderr, after the
// label of the text when there is one ("variable f: ").
bool compile_into(txl_user_function& f, const std::string& label) {
  txl_compiler compiler;
  if (compiler.compile(f.text, &f) == 0)
    return true;
  std::fprintf(stderr, "%s%s\n", label.c_str(), txl_compile_message(compiler.error()).c_str());
  return false;
}

// The value as the command prints it: source text, or with --text the report's text form.
std::string printed_value(const anyval& value, bool text) {
  std::string out;
  if (text)
    value.to_text(out);
  else
    write_literal(value, 0, out);
  return out;
}

// Binds and evaluates the property; prints the value or the error text.
int evaluate_property(std::vector<rc_ptr<txl_user_function>>& functions, bool text, eval_context& context) {
  txl_binder binder;
  for (std::size_t i = 1; i < functions.size(); ++i)
    context.variables.push_back(functions[i].get());
  context.prepare_binder(binder);
  for (auto& f : functions)
    binder.bind_all(*f);
  for (std::size_t i = 1; i < functions.size(); ++i)
    check_recursion(*functions[i]);
  anyval value;
  std::string error;
  bool ok;
  {
    // The bound of a report run, so that a loop that never ends gives "#LOOP#".
    txl_loop_budget loops(htdoc_run{}.max_loop_iterations);
    ok = evaluate_user_function(*functions[0], anyval(), value, error);
    if (loops.spent())
      std::fprintf(stderr, "quillet eval: the expression used up the limit of %lld steps (loop iterations, "
                   "user-function calls and READLIST lines together) with %s.\n",
                   static_cast<long long>(htdoc_run{}.max_loop_iterations), txl_work_name(loops.spent_on()));
  }
  for (auto& f : functions)
    f->unbind_calls();
  if (!ok) {
    std::printf("%s\n", error.empty() ? "#ERROR#" : error.c_str());
    return 1;
  }
  std::printf("%s\n", printed_value(value, text).c_str());
  return 0;
}

}  // namespace

int run_eval(const arg_list& args) {
  if (wants_help(args)) {
    std::printf("%s", eval_usage);
    return 0;
  }
  eval_options o;
  if (!parse_eval_args(args, o))
    return 2;
  std::vector<rc_ptr<txl_user_function>> functions;
  functions.push_back(make_rc<txl_user_function>(std::string(), o.expression));
  if (!compile_into(*functions[0], ""))
    return 2;
  for (auto& [name, text] : o.vars) {
    functions.push_back(make_rc<txl_user_function>(name, text));
    if (!compile_into(*functions.back(), "variable " + name + ": "))
      return 2;
  }
  report_data data;
  std::string project_error;
  const std::uint32_t time = o.have_time ? o.time : static_cast<std::uint32_t>(std::time(nullptr));
  if (!open_report_data(o.project, "", "", time, data, project_error)) {
    std::fprintf(stderr, "quillet eval: cannot load the project: %s\n", project_error.c_str());
    return 1;
  }
  if (!use_report_store(o.store, "", "", time, data, project_error)) {
    std::fprintf(stderr, "quillet eval: cannot open the history store: %s\n", project_error.c_str());
    return 1;
  }
  eval_context context(time, data.source.get());
  context.restrict_files = o.restrict_files;
  return evaluate_property(functions, o.text, context);
}

}  // namespace quillet::app
