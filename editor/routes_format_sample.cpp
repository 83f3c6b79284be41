// The samples of the format builders: a moment or a value written with a specification by
// the very functions a report calls (TIMESTR and FORMAT), so the preview shows what reports do.
#include <charconv>

#include "editor/codepage_text.h"
#include "editor/routes.h"
#include "txl/anyval.h"
#include "txl/binding.h"
#include "txl/compiler.h"
#include "txl/user_function.h"

namespace quillet::editor {

using nlohmann::json;

namespace {

// The text as a string literal of the expression language.
std::string literal(const std::string& text) {
  std::string out;
  write_literal(anyval::from_string(text), 0, out);
  return out;
}

// The number as the shortest literal that reads back as the same double.
std::string number_literal(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  std::string out(buf, ec == std::errc() ? end : buf);
  if (out.find_first_of(".eE") == std::string::npos)
    out += ".0";
  return out;
}

// Evaluates the expression with the built-in functions; the text a report shows, or the
// error marker it would write.
std::string evaluate(const std::string& text) {
  rc_ptr<txl_user_function> fn = make_rc<txl_user_function>("VALUE", text);
  txl_compiler compiler;
  if (compiler.compile(text, fn.get()) != 0)
    return "#ERROR#";
  txl_binder binder;
  binder.add_builtin_libraries();
  binder.bind_all(*fn);
  anyval value;
  std::string error, out;
  bool ok = evaluate_user_function(*fn, anyval(), value, error);
  fn->unbind_calls();
  if (!ok)
    return error.empty() ? "#ERROR#" : error;
  value.to_text(out);
  return out;
}

// The call that formats the sample: TIMESTR for a time, FORMAT for a value. A value that reads
// as a number is passed as one, any other text as a string.
std::string sample_call(const std::string& kind, const std::string& spec, const json& sample) {
  if (kind == "time")
    return "TIMESTR( " + literal(spec) + ", " + number_literal(sample.get<double>()) + " )";
  const std::string text = sample.get<std::string>();
  double v = 0.0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  bool number = !text.empty() && ec == std::errc() && end == text.data() + text.size();
  return "FORMAT( " + literal(spec) + ", " + (number ? number_literal(v) : literal(text)) + " )";
}

}  // namespace

// {"kind": "time", "spec", "time": seconds} or {"kind": "value", "spec", "value": text} ->
// {"text"}: the sample as a report writes it with the specification.
void handle_format_sample(editor_context&, const httplib::Request& req, httplib::Response& res) {
  json body;
  if (!read_json(req, res, body))
    return;
  const std::string kind = body.value("kind", std::string());
  const json sample = kind == "time" ? body.value("time", json()) : body.value("value", json());
  const bool sample_ok = kind == "time" ? sample.is_number() : kind == "value" && sample.is_string();
  if (!sample_ok || !body.contains("spec") || !body["spec"].is_string())
    return send_error(res, 400, "A format sample needs the kind, the specification and the sample.");
  std::optional<std::string> spec = utf8_to_ansi(body["spec"].get<std::string>(), false);
  json ansi_sample = sample;
  if (sample.is_string()) {
    std::optional<std::string> text = utf8_to_ansi(sample.get<std::string>(), false);
    ansi_sample = text ? *text : std::string();
  }
  if (!spec)
    return send_json(res, {{"text", "#ERROR#"}});
  send_json(res, {{"text", ansi_to_utf8(evaluate(sample_call(kind, *spec, ansi_sample)))}});
}

}  // namespace quillet::editor
