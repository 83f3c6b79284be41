// The template check: reading, compiling and binding as the processor does, with every
// failure kept instead of discarded.
#include "report/htdoc_check.h"

#include <algorithm>
#include <vector>

#include "data/kov_library.h"
#include "doc/template_markup.h"
#include "txl/binding.h"
#include "txl/compiler.h"

namespace quillet {

namespace {

// The place being checked: how a problem in it is named.
struct check_place {
  std::string where;
  int element = 0;
  int definition = 0;    // the element's number among those with a definition
  std::string property;  // the element property
};

// A sink that turns each diagnostic into a problem of the place being checked.
class problem_sink : public txl_diagnostic_sink {
public:
  explicit problem_sink(std::vector<htdoc_problem>& problems) : problems_(problems) {}
  void report(const txl_diagnostic& d) override {
    std::string_view message = d.message;
    if (!message.empty() && message.back() == '\n')
      message.remove_suffix(1);
    problems_.push_back({place.where, std::string(message), place.definition, place.property,
                         txl_diagnostic_offset(d), place.element});
  }
  check_place place;

private:
  std::vector<htdoc_problem>& problems_;
};

struct checked_function {
  rc_ptr<txl_user_function> fn;
  check_place place;
};

// Where the first directive comment of keyword `index` in the list stands; `fallback` when
// there is none.
std::uint32_t directive_offset(const html_element* list, int index, std::uint32_t fallback) {
  for (const html_element* n = list; n; n = n->next) {
    if (n->kind != html_kind::comment)
      continue;
    std::string text = decode_directive_entities(static_cast<const html_elt_comment*>(n)->text.view());
    if (directive_keyword_of(text) == index)
      return n->source_offset;
  }
  return fallback;
}

class template_checker {
public:
  template_checker(std::vector<htdoc_problem>& problems, std::string_view template_dir)
      : problems_(problems), sink_(problems), placing_(sink_), template_dir_(template_dir) {}
  ~template_checker() {
    for (auto& f : functions_)
      f.fn->unbind_calls();
  }

  void read_head(html_elt_tag& head);
  void read_body(html_elt_tag& body);
  void bind_and_check();

private:
  void add(rc_ptr<txl_user_function> fn, check_place place);
  void unreadable(std::string where, int element, std::uint32_t offset, const char* message);
  void read_variables(html_elt_tag& head);
  void read_element(html_elt_tag& tag, int ordinal);
  void keep_findings(const check_place& place);

  std::vector<htdoc_problem>& problems_;
  problem_sink sink_;
  txl_placing_sink placing_;
  txl_prop_list params_;
  txl_prop_list variables_;
  std::vector<checked_function> functions_;
  int definitions_ = 0;  // elements whose definition was read so far
  std::string_view template_dir_;
  std::vector<lint_finding> findings_;
};

// The findings of the rules so far become problems of the place.
void template_checker::keep_findings(const check_place& place) {
  for (lint_finding& f : findings_) {
    htdoc_problem p{place.where, std::move(f.message), place.definition, place.property, f.offset, place.element};
    p.severity = f.rule->severity;
    p.rule = f.rule->id;
    p.hint = f.rule->hint;
    problems_.push_back(std::move(p));
  }
  findings_.clear();
}

// Compiles the function's text; a compile error becomes a problem at the byte it names.
void template_checker::add(rc_ptr<txl_user_function> fn, check_place place) {
  txl_compiler compiler;
  if (compiler.compile(fn->text, fn.get()) != 0) {
    const txl_compile_error& error = compiler.error();
    std::uint32_t at = fn->origin.file_offset(static_cast<std::uint32_t>(std::max(error.offset, 0)));
    problems_.push_back({place.where, txl_compile_message(error), place.definition, place.property, at,
                         place.element});
  } else {
    lint_calls(*fn, findings_);
    keep_findings(place);
  }
  functions_.push_back({std::move(fn), std::move(place)});
}

// A directive that does not read: the problem names the start of its comment.
void template_checker::unreadable(std::string where, int element, std::uint32_t offset, const char* message) {
  problems_.push_back({std::move(where), message, 0, {}, offset, element});
}

void template_checker::read_head(html_elt_tag& head) {
  txl_prop_list settings;
  std::uint32_t doc_at = directive_offset(head.children, directive_doc, head.source_offset);
  if (read_directive(head.children, directive_doc, settings, mode_keep_text) == directive_found::failed)
    unreadable("document settings", 0, doc_at, "the directive cannot be read");
  for (auto& setting : settings) {
    add(setting, {"document setting " + setting->name, 0, 0, {}});
    if (setting->name == "PRJ" && setting->body)
      lint_project(*setting, template_dir_, findings_);
    keep_findings({"document setting " + setting->name, 0, 0, {}});
  }
  htdoc_fragment_header header;
  read_fragment_header(head.children, header);
  params_ = fragment_param_list(header);
  for (auto& param : params_)
    add(param, {"fragment parameter " + param->name, 0, 0, {}});
  read_variables(head);
}

// Each VAR comment is read on its own, so that one that does not read is named.
void template_checker::read_variables(html_elt_tag& head) {
  int ordinal = 0;
  for (html_element* n = head.children; n; n = n->next) {
    if (n->kind != html_kind::comment)
      continue;
    std::string text(static_cast<html_elt_comment*>(n)->text.view());
    if (directive_keyword_of(decode_directive_entities(text)) != directive_var)
      continue;
    ++ordinal;
    html_element* single = new html_elt_comment(text);
    single->source_offset = n->source_offset;
    txl_prop_list read;
    read_directive_vars(single, read, mode_keep_text, &params_);
    release_list(single);
    if (read.empty())
      unreadable("variable directive " + std::to_string(ordinal), 0, n->source_offset, "the directive cannot be read");
    for (auto& v : read) {
      variables_.push_back(v);
      add(v, {"variable " + v->name, 0, 0, {}});
    }
  }
}

void template_checker::read_element(html_elt_tag& tag, int ordinal) {
  txl_prop_list props;
  std::uint32_t directive_at = directive_offset(tag.children, directive_elt, tag.source_offset);
  directive_found found = read_directive(tag.children, directive_elt, props, mode_keep_text, &params_);
  std::string where = "element " + std::to_string(ordinal) + " <" + std::string(tag.name()) + ">";
  if (found == directive_found::failed)
    unreadable(where, ordinal, directive_at, "the element directive cannot be read");
  // Only a directive read whole numbers its element, as the editor's load does.
  int definition = found == directive_found::read ? ++definitions_ : 0;
  lint_element(tag, props, findings_);
  keep_findings({where, ordinal, definition, {}});
  for (auto& p : props)
    add(p, {where + ", property " + p->name, ordinal, definition, p->name});
}

// Every tag of the body in document order, without recursion.
void template_checker::read_body(html_elt_tag& body) {
  std::vector<html_element*> pending;
  html_element* n = body.children;
  int ordinal = 0;
  for (;;) {
    while (!n) {
      if (pending.empty())
        return;
      n = pending.back();
      pending.pop_back();
    }
    if (n->kind != html_kind::tag) {
      n = n->next;
      continue;
    }
    auto* tag = static_cast<html_elt_tag*>(n);
    read_element(*tag, ++ordinal);
    pending.push_back(tag->next);
    n = tag->children;
  }
}

// Binding messages name the call they are about; the recursion message names the variable.
void template_checker::bind_and_check() {
  kov_txl_library channels;
  txl_binder binder(placing_);
  binder.add_library(channels);
  binder.add_builtin_libraries();
  for (auto& v : variables_)
    binder.add_user_function(*v);
  for (auto& f : functions_) {
    sink_.place = f.place;
    placing_.current = f.fn.get();
    if (f.fn->body)
      binder.bind_all(*f.fn);
  }
  for (auto& f : functions_) {
    sink_.place = f.place;
    placing_.current = f.fn.get();
    if (f.place.where.rfind("variable ", 0) == 0)
      check_recursion(*f.fn, placing_);
  }
  placing_.current = nullptr;
}

}  // namespace

std::vector<htdoc_problem> check_template(html_document& document, std::string_view template_dir) {
  std::vector<htdoc_problem> problems;
  std::vector<lint_finding> comments;
  lint_comments(document, comments);
  for (lint_finding& f : comments) {
    htdoc_problem p{"comment", std::move(f.message), 0, {}, f.offset, 0};
    p.rule = f.rule->id;
    p.hint = f.rule->hint;
    p.severity = f.rule->severity;
    problems.push_back(std::move(p));
  }
  template_checker checker(problems, template_dir);
  if (document.head)
    checker.read_head(*document.head);
  if (document.body)
    checker.read_body(*document.body);
  checker.bind_and_check();
  return problems;
}

std::string problem_text(std::string_view file, const source_lines& lines, const htdoc_problem& problem) {
  std::string text = source_place(file, lines, problem.offset) +
                     (problem.severity == htdoc_severity::error ? "error: " : "warning: ") + problem.where + ": " +
                     problem.message;
  if (!problem.hint.empty())
    text += "\n    hint: " + problem.hint;
  return text;
}

}  // namespace quillet
