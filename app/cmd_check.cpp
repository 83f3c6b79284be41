// quillet check: list the problems of a template (directives that do not read, expressions
// that do not compile, calls nothing knows, recursive variables) without producing a report.
#include <cstdio>
#include <string>

#include "app/commands.h"
#include "app/template_input.h"
#include "report/htdoc_check.h"

namespace quillet::app {

namespace {

const char check_usage[] =
    "usage: quillet check TEMPLATE\n\n"
    "Reads TEMPLATE, compiles every expression (variables, element properties, fragment\n"
    "parameters, settings), binds every call and checks the variables for recursion, and lists\n"
    "each problem as 'TEMPLATE:LINE:COLUMN: place: message', the line and column (from 1, in\n"
    "bytes) being those of the character the message is about. Exit 0 when there is none, 1\n"
    "when there are problems or the template cannot be read, 2 when the command line is wrong.\n";

}  // namespace

int run_check(const arg_list& args) {
  if (wants_help(args)) {
    std::fputs(check_usage, stdout);
    return 0;
  }
  std::string input;
  for (const std::string& a : args) {
    if (a.size() > 1 && a[0] == '-') {
      std::string hint = did_you_mean(a, {"--help"});
      std::fprintf(stderr, "quillet check: unknown option '%s'%s\n", a.c_str(), hint.empty() ? "." : hint.c_str());
      return 2;
    }
    if (!input.empty()) {
      std::fprintf(stderr, "quillet check: only one TEMPLATE may be given ('%s' is extra).\n", a.c_str());
      return 2;
    }
    input = a;
  }
  if (input.empty()) {
    std::fprintf(stderr, "quillet check: no TEMPLATE given; 'quillet check --help' shows the usage.\n");
    return 2;
  }
  rc_ptr<html_document> doc = make_rc<html_document>();
  std::string source;
  if (!read_template_file("check", input, *doc, source))
    return 1;
  std::vector<htdoc_problem> problems = check_template(*doc);
  doc->clear();
  template_places places(input, std::move(source));
  for (const htdoc_problem& p : problems)
    std::printf("%s\n", problem_text(places.file(), places.lines(), p).c_str());
  if (problems.empty())
    std::printf("%s: no problems found\n", input.c_str());
  return problems.empty() ? 0 : 1;
}

}  // namespace quillet::app
