// The rules of the template check beyond compiling and binding, as one table of rules and one
// small function per kind of thing they look at.
#include "report/template_lint.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "doc/template_markup.h"
#include "platform/com/guid.h"
#include "platform/text/nearest_name.h"
#include "platform/trend/trend_interfaces.h"
#include "txl/expr_fncall.h"
#include "txl/expr_nodes.h"

namespace quillet {

namespace {

const std::vector<lint_rule> rules = {
    {"unknown-directive", htdoc_severity::error,
     "directive comments start with \"$VX \" and one of ELT, VAR, DOC, WIZ, WPARM, in capitals"},
    {"unknown-property", htdoc_severity::error, ""},
    {"rows-on-row", htdoc_severity::error, "ROWS belongs on a cell: put it on the first TD of the row"},
    {"repeat-in-table", htdoc_severity::error,
     "rows repeat by the ROWS of a cell and cells by COLS: put ROWS on the first TD of the row"},
    {"repetition-without-effect", htdoc_severity::warning,
     "ROWS acts on TD, TH, LI and DT; COLS on TD and TH; REPEAT on other elements"},
    {"argument-count", htdoc_severity::error, ""},
    {"time-unit", htdoc_severity::error, "the units are \"YR\", \"MON\", \"WK\", \"DAY\", \"HR\", \"MIN\", \"SEC\", in capitals"},
    {"trend-class", htdoc_severity::error, "a trend's CLASSID is \"CLSID:12175724-4241-11D2-9C51-0000E8DBF60C\""},
    {"missing-project", htdoc_severity::error,
     "the report would use the bundled demo project instead; give the path relative to the template"},
};

const char* const keywords[] = {"ELT", "VAR", "DOC", "WIZ", "WPARM"};
const char* const element_properties[] = {"VALUE", "REPEAT", "ROWS", "COLS"};
const char* const trend_properties[] = {"CHANNEL", "COLOR", "LTYPE", "LWIDTH", "MARK", "MINVAL", "MAXVAL",
                                        "LINT", "DT", "TIME", "TMARKS", "TUNITS", "VMARKS", "VDIGITS",
                                        "VDIGITSDP", "GRID_COLOR", "GRID_STYLE", "BGCOLOR", "FONT", "BPP", "LEGEND", "SVG",
                                        "IMAGE_TYPE"};
const char* const time_units[] = {"YR", "MON", "WK", "DAY", "HR", "MIN", "SEC"};

constexpr int any = std::numeric_limits<int>::max();

// How many arguments each function has a meaning for; those that take any number are absent.
struct arity {
  const char* name;
  int least, most;
};
const arity arities[] = {
    {"SIZE", 1, 1},    {"CHR", 1, 1},      {"RANGE", 1, any},   {"FIND", 1, any},    {"MASK", 3, 3},
    {"FLOOR", 1, 1},   {"CEIL", 1, 1},     {"PI", 0, 0},        {"ABS", 1, 1},       {"SQRT", 1, 1},
    {"POW", 2, 2},     {"LOG", 1, 1},      {"LOG10", 1, 1},     {"EXP", 0, 1},       {"SIN", 1, 1},
    {"COS", 1, 1},     {"TAN", 1, 1},      {"ACOS", 1, 1},      {"ASIN", 1, 1},      {"ATAN", 1, 2},
    {"INSERT", 2, 3},  {"REMOVE", 2, 3},   {"EXTRACT", 2, 3},   {"STRCMP", 2, 2},    {"STRFIND", 2, 2},
    {"MKTIME", 1, 7},  {"RTIME", 2, 3},    {"DTIME", 2, 3},     {"TIMESTR", 2, 2},   {"FORMAT", 2, 2},
    {"IF", 5, 5},      {"AND", 2, 2},      {"OR", 2, 2},        {"XOR", 2, 2},       {"INV", 1, 1},
    {"SHL", 2, 2},     {"SHR", 2, 2},      {"CHAN", 1, 4},      {"NAME", 1, 1},      {"NODE", 1, 1},
    {"OBJECT", 1, 2},  {"ATTR", 1, 1},     {"CHCODE", 1, 1},    {"CHUNIT", 1, 1},    {"GETVAL", 1, 1},
    {"READVAL", 2, 3}, {"LASTVAL", 2, 3},  {"RNSTAT", 3, 3},    {"RTSTAT", 3, 3},    {"SELCHAN", 2, 3},
    {"EVENTS", 1, 2},  {"EFILTER", 0, 7},  {"ETYPE", 1, 1},     {"SEVERITY", 1, 1},  {"TIME", 0, 1},
    {"IDX", 0, 1},     {"ROW", 0, 1},      {"COL", 0, 1},       {"READLIST", 1, 1},
};

const lint_rule& rule(std::string_view id) { return lint_rule_named(id); }

template <class List>
std::string suggestion(std::string_view name, const List& candidates) {
  std::string_view best = nearest_name(name, candidates);
  return best.empty() ? "" : " (did you mean " + std::string(best) + "?)";
}

template <class List>
bool listed(std::string_view name, const List& list) {
  return std::any_of(std::begin(list), std::end(list), [&](std::string_view s) { return s == name; });
}

std::uint32_t text_start(const txl_user_function& f) { return f.origin.file_offset(0); }

// The node a function's body is, stepping through its root and a sequence of one statement.
const txl_expr* body_node(const txl_user_function& f) {
  const txl_expr* n = f.body.get();
  while (n && n->children.size() == 1 && !dynamic_cast<const txl_expr_fncall*>(n) &&
         !dynamic_cast<const txl_expr_constant*>(n))
    n = n->children[0].get();
  return n;
}

// The text of a string constant; false for anything else.
bool constant_string(const txl_expr* n, std::string& out) {
  if (!dynamic_cast<const txl_expr_constant*>(n) || n->result.type() != type_string)
    return false;
  n->result.to_text(out);
  return true;
}

void lint_comment_text(std::string_view text, std::uint32_t at, std::vector<lint_finding>& out) {
  if (text.size() < 3 || text[0] != '$' || (text[1] != 'V' && text[1] != 'v') || (text[2] != 'X' && text[2] != 'x'))
    return;
  if (directive_keyword_of(text) >= 0)
    return;
  std::size_t start = text.find_first_not_of(" \t\r\n", 3);
  std::size_t end = start == std::string_view::npos ? start : text.find_first_of(" \t\r\n", start);
  std::string_view word = start == std::string_view::npos ? std::string_view() : text.substr(start, end - start);
  std::string message = "\"" + std::string(text.substr(0, std::min<std::size_t>(text.size(), end == std::string_view::npos ? text.size() : end))) +
                        "\" is not a directive and reaches the report as a comment";
  std::string upper(word);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  out.push_back({&rule("unknown-directive"), message + suggestion(upper, keywords), at});
}

}  // namespace

const std::vector<lint_rule>& lint_rules() { return rules; }

const lint_rule& lint_rule_named(std::string_view id) {
  for (const lint_rule& r : rules)
    if (id == r.id)
      return r;
  return rules.front();
}

// Every comment of the document, found without recursion.
void lint_comments(const html_document& document, std::vector<lint_finding>& out) {
  std::vector<const html_element*> pending;
  if (document.head && document.head->children)
    pending.push_back(document.head->children);
  if (document.body && document.body->children)
    pending.push_back(document.body->children);
  while (!pending.empty()) {
    const html_element* n = pending.back();
    pending.pop_back();
    for (; n; n = n->next) {
      if (n->kind == html_kind::comment) {
        const auto* c = static_cast<const html_elt_comment*>(n);
        lint_comment_text(decode_directive_entities(c->text.view()), c->source_offset, out);
      }
      if (n->kind == html_kind::tag && static_cast<const html_elt_tag*>(n)->children)
        pending.push_back(static_cast<const html_elt_tag*>(n)->children);
    }
  }
}

// ROWS, COLS and REPEAT on elements where they do nothing.
static void lint_repetition(std::string_view tag, const txl_user_function& p, std::vector<lint_finding>& out) {
  const bool cell = tag == "TD" || tag == "TH";
  const bool item = tag == "LI" || tag == "DT";
  if (tag == "TR" && p.name == "ROWS")
    out.push_back({&rule("rows-on-row"), "ROWS on <TR> does not repeat the row", text_start(p)});
  else if ((tag == "TR" || cell) && p.name == "REPEAT")
    out.push_back({&rule("repeat-in-table"), "REPEAT on <" + std::string(tag) + "> has no effect", text_start(p)});
  else if ((p.name == "ROWS" && !cell && !item) || (p.name == "COLS" && !cell))
    out.push_back({&rule("repetition-without-effect"), p.name + " on <" + std::string(tag) + ">" + " has no effect",
                   text_start(p)});
}

// The class of an OBJECT: written "CLSID:" and a class id, the trend's.
static void lint_object_class(const html_elt_tag& tag, std::vector<lint_finding>& out) {
  for (const html_element* a = tag.attrs; a; a = a->next) {
    const auto* attr = static_cast<const html_attr*>(a);
    if (attr->name.view() != "CLASSID")
      continue;
    std::string_view id = attr->value.view();
    com::GUID guid;
    std::string braced = id.size() > 6 && id[6] != '{' ? "{" + std::string(id.substr(6)) + "}" : std::string(id.substr(std::min<std::size_t>(6, id.size())));
    if (id.substr(0, 6) != "CLSID:" || !com::CLSIDFromString(braced, guid))
      out.push_back({&rule("trend-class"), "the CLASSID \"" + std::string(id) + "\" is not \"CLSID:\" and a class id; the report shows {#ERROR:BAD_CLASSID}", attr->source_offset});
    else if (!(guid == trend::CLSID_trend_control))
      out.push_back({&rule("trend-class"), "the CLASSID \"" + std::string(id) + "\" is not the trend's; the report shows {#ERROR:BAD_CLASSID}", attr->source_offset});
    return;
  }
  out.push_back({&rule("trend-class"), "the OBJECT has no CLASSID; the report shows {#ERROR:BAD_CLASSID}", tag.source_offset});
}

void lint_element(const html_elt_tag& tag, const txl_prop_list& props, std::vector<lint_finding>& out) {
  const std::string_view name = tag.name();
  const bool object = name == "OBJECT";
  for (const auto& p : props) {
    std::string_view prop = p->name;
    if (prop.rfind("ATTR.", 0) == 0 || prop.rfind("STYLE.", 0) == 0)
      continue;
    if (!listed(prop, element_properties) && !(object && listed(prop, trend_properties))) {
      std::string hint = object ? suggestion(prop, trend_properties) : "";
      if (hint.empty())
        hint = suggestion(prop, element_properties);
      out.push_back({&rule("unknown-property"), "the property " + p->name + " means nothing on <" + std::string(name) + ">" + hint,
                     text_start(*p)});
      continue;
    }
    lint_repetition(name, *p, out);
  }
  if (object)
    lint_object_class(tag, out);
}

void lint_calls(const txl_user_function& function, std::vector<lint_finding>& out) {
  for (const auto& site : function.call_sites) {
    if (site->user_function)
      continue;
    const int count = static_cast<int>(site->children.size());
    const std::uint32_t at = function.origin.file_offset(static_cast<std::uint32_t>(std::max(site->span_start, 0)));
    for (const arity& a : arities) {
      if (site->name != a.name || (count >= a.least && count <= a.most))
        continue;
      std::string takes = a.least == a.most ? std::to_string(a.least)
                          : a.most == any   ? std::to_string(a.least) + " or more"
                                            : std::to_string(a.least) + " to " + std::to_string(a.most);
      out.push_back({&rule("argument-count"),
                     site->name + " takes " + takes + " argument" + (a.most == 1 && a.least == 1 ? "" : "s") +
                         ", not " + std::to_string(count),
                     at});
    }
    std::string unit;
    if ((site->name == "DTIME" || site->name == "RTIME") && count >= 2 &&
        constant_string(site->children[1].get(), unit) && !listed(unit, time_units))
      out.push_back({&rule("time-unit"), "\"" + unit + "\" is not a time unit" + suggestion(unit, time_units), at});
  }
}

void lint_project(const txl_user_function& prj, std::string_view template_dir, std::vector<lint_finding>& out) {
  std::string name;
  if (template_dir.empty() || !constant_string(body_node(prj), name) || name.empty())
    return;
  std::filesystem::path path(name);
  if (path.is_relative())
    path = std::filesystem::path(template_dir) / path;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec))
    out.push_back({&rule("missing-project"), "the project " + path.string() + " does not exist", text_start(prj)});
}

}  // namespace quillet
