// quillet check: list the problems of templates (directives that do not read, expressions
// that do not compile, calls nothing knows, recursive variables, and the mistakes the check's
// rules find) without producing a report; as lines or as JSON.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/commands.h"
#include "app/template_input.h"
#include "report/htdoc_check.h"

namespace quillet::app {

namespace {

const char check_usage[] =
    "usage: quillet check [--format text|json] TEMPLATE...\n\n"
    "Reads each TEMPLATE, compiles every expression (variables, element properties, fragment\n"
    "parameters, settings), binds every call, checks the variables for recursion and looks for\n"
    "mistakes that run without a message: unknown directive keywords and properties, ROWS on\n"
    "a row, built-ins called with the wrong number of arguments, unknown time units, a chart\n"
    "that is not a trend, a project file that is not there. Each problem is listed as\n"
    "'TEMPLATE:LINE:COLUMN: error|warning: place: message', the line and column (from 1, in\n"
    "bytes) being those of the character it is about, with a hint on the next line where one\n"
    "helps. --format json prints one JSON array of all the problems instead. Exit 0 when there\n"
    "is no error (warnings allowed), 1 when there are errors or a template cannot be read, 2\n"
    "when the command line is wrong.\n";

struct check_options {
  std::vector<std::string> inputs;
  bool json = false;
};

// Reads the command line; false after a message.
bool parse_check_args(const arg_list& args, check_options& o) {
  bool only_files = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (only_files || a == "-" || a.empty() || a[0] != '-') {
      o.inputs.push_back(a);
    } else if (a == "--") {
      only_files = true;
    } else if (a == "--format" && i + 1 < args.size() && (args[i + 1] == "json" || args[i + 1] == "text")) {
      o.json = args[++i] == "json";
    } else if (a == "--format") {
      std::fprintf(stderr, "quillet check: --format needs 'text' or 'json'.\n");
      return false;
    } else {
      std::string hint = did_you_mean(a, {"--format"});
      std::fprintf(stderr, "quillet check: unknown option '%s'%s\n", a.c_str(), hint.empty() ? "." : hint.c_str());
      return false;
    }
  }
  if (o.inputs.empty())
    std::fprintf(stderr, "quillet check: no TEMPLATE given; 'quillet check --help' shows the usage.\n");
  return !o.inputs.empty();
}

nlohmann::json problem_json(template_places& places, const htdoc_problem& p) {
  source_position at = places.lines().position_of(p.offset);
  nlohmann::json j = {{"file", std::string(places.file())},
                      {"line", at.line},
                      {"column", at.column},
                      {"severity", p.severity == htdoc_severity::error ? "error" : "warning"},
                      {"where", p.where},
                      {"message", p.message}};
  if (!p.rule.empty())
    j["rule"] = p.rule;
  if (!p.hint.empty())
    j["hint"] = p.hint;
  return j;
}

// Checks one template; false when it cannot be read or has an error.
bool check_one(const std::string& input, bool json, nlohmann::json& all) {
  rc_ptr<html_document> doc = make_rc<html_document>();
  std::string source;
  template_notes notes;
  if (!read_template_file("check", input, *doc, source, default_max_input, &notes))
    return false;
  std::filesystem::path path(input);
  std::string folder = path.has_parent_path() ? path.parent_path().string() : std::string(".");
  std::vector<htdoc_problem> problems;
  for (std::uint32_t offset : notes.nul_offsets)
    problems.push_back({"text", "a NUL byte, read as '?'", 0, {}, offset});
  for (htdoc_problem& p : check_template(*doc, input == "-" ? "" : folder))
    problems.push_back(std::move(p));
  doc->clear();
  template_places places(input, std::move(source));
  bool errors = false;
  for (const htdoc_problem& p : problems) {
    errors = errors || p.severity == htdoc_severity::error;
    if (json)
      all.push_back(problem_json(places, p));
    else
      std::printf("%s\n", problem_text(places.file(), places.lines(), p).c_str());
  }
  if (problems.empty() && !json)
    std::printf("%s: no problems found\n", input.c_str());
  return !errors;
}

}  // namespace

int run_check(const arg_list& args) {
  if (wants_help(args)) {
    std::fputs(check_usage, stdout);
    return 0;
  }
  check_options o;
  if (!parse_check_args(args, o))
    return 2;
  nlohmann::json all = nlohmann::json::array();
  bool clean = true;
  for (const std::string& input : o.inputs)
    clean = check_one(input, o.json, all) && clean;
  if (o.json)
    std::printf("%s\n", all.dump(2).c_str());
  return clean ? 0 : 1;
}

}  // namespace quillet::app
