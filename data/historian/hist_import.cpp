// The CSV importer: header analysis, then one parse per row.
#include "data/historian/hist_import.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace quillet {

namespace {

enum class csv_form { long_form, wide_form, events_form };

// Splits a line at the separator; quoted fields may hold it and "" stands for a quote.
void split_fields(std::string_view line, char sep, std::vector<std::string_view>& fields, std::string& scratch) {
  fields.clear();
  scratch.clear();
  if (line.find('"') == std::string_view::npos) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i)
      if (i == line.size() || line[i] == sep) {
        fields.push_back(line.substr(start, i - start));
        start = i + 1;
      }
    return;
  }
  scratch.reserve(line.size());
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
      scratch.push_back(line[++i]);
    else if (c == '"')
      quoted = !quoted;
    else if (c == sep && !quoted) {
      spans.emplace_back(start, scratch.size() - start);
      start = scratch.size();
    } else
      scratch.push_back(c);
  }
  spans.emplace_back(start, scratch.size() - start);
  for (auto [at, n] : spans)
    fields.push_back(std::string_view(scratch).substr(at, n));
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

bool parse_number(std::string_view s, double& out) {
  s = trim(s);
  if (!s.empty() && s.front() == '+')
    s.remove_prefix(1);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return !s.empty() && ec == std::errc() && end == s.data() + s.size() && std::isfinite(out);
}

bool parse_int(std::string_view s, int& out) {
  s = trim(s);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return !s.empty() && ec == std::errc() && end == s.data() + s.size();
}

// Quality as exports write it: empty, 1, good, ok or an OPC code of 192 and up is good; 0,
// bad, uncertain or a lower code is bad.
bool parse_quality(std::string_view s, bool& good) {
  const std::string q = lower(trim(s));
  int code = 0;
  if (q.empty() || q == "good" || q == "ok" || q == "g") {
    good = true;
    return true;
  }
  if (q == "bad" || q == "b" || q == "uncertain") {
    good = false;
    return true;
  }
  if (!parse_int(q, code) || code < 0)
    return false;
  good = code == 1 || code >= 192;
  return true;
}

// The columns a header names.
struct csv_layout {
  csv_form form = csv_form::wide_form;
  int time = 0, channel = -1, value = -1, quality = -1, node = -1, type = -1, severity = -1, text = -1;
  std::vector<hist_key> wide;      // per column, for the wide form
  std::vector<bool> wide_known;
};

class csv_import {
public:
  csv_import(const std::string& path, const hist_channels& channels, hist_writer& writer, hist_time_parser& times,
             const hist_import_hooks& hooks, hist_import_counts& counts)
      : path_(path), channels_(channels), writer_(writer), times_(times), hooks_(hooks), counts_(counts) {}

  bool run(std::string& error);

private:
  bool read_header(std::string_view line);
  // Each returns the problem of a bad row, or null; `failed` is set when the store fails.
  const char* long_row(const std::vector<std::string_view>& f);
  const char* wide_row(const std::vector<std::string_view>& f);
  const char* event_row(const std::vector<std::string_view>& f);
  const char* channel_of(const std::vector<std::string_view>& f, hist_key& key, bool channel_optional);
  void problem(std::uint64_t line, const std::string& what) {
    if (hooks_.problem)
      hooks_.problem(path_ + ":" + std::to_string(line) + ": " + what);
  }

  const std::string& path_;
  const hist_channels& channels_;
  hist_writer& writer_;
  hist_time_parser& times_;
  const hist_import_hooks& hooks_;
  hist_import_counts& counts_;
  csv_layout layout_;
  char sep_ = ',';
  bool failed_ = false;
  std::vector<std::string_view> fields_;
  std::string scratch_;
};

bool csv_import::read_header(std::string_view line) {
  sep_ = line.find(',') == std::string_view::npos && line.find(';') != std::string_view::npos ? ';' : ',';
  split_fields(line, sep_, fields_, scratch_);
  csv_layout& l = layout_;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const std::string name = lower(trim(fields_[i]));
    const int c = static_cast<int>(i);
    if (name == "time" || name == "timestamp" || name == "datetime")
      l.time = c;
    else if (name == "channel" || name == "tag" || name == "name")
      l.channel = c;
    else if (name == "value")
      l.value = c;
    else if (name == "quality")
      l.quality = c;
    else if (name == "node")
      l.node = c;
    else if (name == "type")
      l.type = c;
    else if (name == "severity")
      l.severity = c;
    else if (name == "text" || name == "message")
      l.text = c;
  }
  if (l.text >= 0 && l.severity >= 0) {
    l.form = csv_form::events_form;
    return true;
  }
  if (l.channel >= 0 && l.value >= 0) {
    l.form = csv_form::long_form;
    return true;
  }
  l.form = csv_form::wide_form;
  l.wide.assign(fields_.size(), hist_key{});
  l.wide_known.assign(fields_.size(), false);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (static_cast<int>(i) == l.time)
      continue;
    const std::string name(trim(fields_[i]));
    l.wide_known[i] = channels_.find(name, l.wide[i]);
    if (!l.wide_known[i])
      problem(1, "no channel of the project is named '" + name + "'; its column is skipped");
  }
  return true;
}

const char* csv_import::channel_of(const std::vector<std::string_view>& f, hist_key& key, bool channel_optional) {
  const std::string_view name = layout_.channel >= 0 && layout_.channel < static_cast<int>(f.size())
                                    ? trim(f[layout_.channel]) : std::string_view();
  if (layout_.node >= 0) {
    int node = 0;
    if (layout_.node >= static_cast<int>(f.size()) || !channels_.find_node(trim(f[layout_.node]), node))
      return "no node of the project has this name";
    key = {node, -1};
    if (name.empty() && channel_optional)
      return nullptr;
    if (!channels_.find(std::string(trim(f[layout_.node])) + ":" + std::string(name), key) &&
        !(channels_.find(name, key) && key.node == node))
      return "no channel of that node has this name or code";
    return nullptr;
  }
  return channels_.find(name, key) ? nullptr : "no channel of the project has this name or code";
}

const char* csv_import::long_row(const std::vector<std::string_view>& f) {
  hist_sample s;
  hist_key key;
  const int need = std::max({layout_.time, layout_.channel, layout_.value});
  if (static_cast<int>(f.size()) <= need)
    return "too few fields";
  if (!times_.parse(f[layout_.time], s.t))
    return "the time is not a date and time or a number of seconds";
  if (const char* why = channel_of(f, key, false))
    return why;
  if (layout_.quality >= 0 && layout_.quality < static_cast<int>(f.size()) && !parse_quality(f[layout_.quality], s.good))
    return "the quality is neither good nor bad";
  if (!parse_number(f[layout_.value], s.value) && !(s.good == false && trim(f[layout_.value]).empty()))
    return "the value is not a number";
  failed_ = !writer_.add(key, s);
  ++counts_.samples;
  return nullptr;
}

const char* csv_import::wide_row(const std::vector<std::string_view>& f) {
  std::int64_t t = 0;
  if (static_cast<int>(f.size()) <= layout_.time || f.size() > layout_.wide.size())
    return "the row has more fields than the header";
  if (!times_.parse(f[layout_.time], t))
    return "the time is not a date and time or a number of seconds";
  std::vector<std::pair<hist_key, double>> row;
  for (std::size_t i = 0; i < f.size(); ++i) {
    if (static_cast<int>(i) == layout_.time || !layout_.wide_known[i] || trim(f[i]).empty())
      continue;
    double v = 0.0;
    if (!parse_number(f[i], v))
      return "a value is not a number";
    row.emplace_back(layout_.wide[i], v);
  }
  for (const auto& [key, v] : row) {
    failed_ = failed_ || !writer_.add(key, hist_sample{t, v, true});
    ++counts_.samples;
  }
  return nullptr;
}

const char* csv_import::event_row(const std::vector<std::string_view>& f) {
  hist_event e;
  hist_key key;
  const int need = std::max({layout_.time, layout_.severity, layout_.text, layout_.type});
  if (static_cast<int>(f.size()) <= need)
    return "too few fields";
  if (!times_.parse(f[layout_.time], e.t))
    return "the time is not a date and time or a number of seconds";
  if (const char* why = channel_of(f, key, true))
    return why;
  const std::string_view type = layout_.type >= 0 ? trim(f[layout_.type]) : std::string_view();
  if (!parse_int(type, e.code) && type.size() == 1)
    e.code = static_cast<unsigned char>(type[0]);
  else if (!type.empty() && !parse_int(type, e.code))
    return "the type is neither a number nor one character";
  const std::string_view sev = trim(f[layout_.severity]);
  if (!parse_int(sev, e.severity) && !(sev.size() == 1 && (e.severity = hist_severity_of_type(sev[0])) >= 0))
    return "the severity is neither a number nor a type character";
  e.node = key.node;
  e.channel = key.channel;
  e.text = std::string(f[layout_.text]);
  failed_ = !writer_.add(e);
  ++counts_.events;
  return nullptr;
}

// Reads line by line; a carriage return before the line feed is dropped, empty lines skipped.
bool csv_import::run(std::string& error) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path_.c_str(), "rb"), std::fclose);
  if (!file) {
    error = "cannot open " + path_ + ": " + std::strerror(errno);
    return false;
  }
  char* buffer = nullptr;
  std::size_t capacity = 0;
  std::uint64_t line_no = 0;
  bool header = true;
  ssize_t n;
  while (!failed_ && (n = getline(&buffer, &capacity, file.get())) >= 0) {
    ++line_no;
    std::string_view line(buffer, static_cast<std::size_t>(n));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
      line.remove_suffix(1);
    if (header && line.size() >= 3 && line.substr(0, 3) == "\xEF\xBB\xBF")
      line.remove_prefix(3);
    if (trim(line).empty())
      continue;
    if (header) {
      header = !read_header(line);
      continue;
    }
    split_fields(line, sep_, fields_, scratch_);
    ++counts_.rows;
    const char* why = layout_.form == csv_form::long_form   ? long_row(fields_)
                      : layout_.form == csv_form::wide_form ? wide_row(fields_)
                                                            : event_row(fields_);
    if (why) {
      ++counts_.bad_rows;
      problem(line_no, why);
    }
    if (hooks_.progress && (counts_.rows & 0xFFFF) == 0)
      hooks_.progress(path_, counts_.rows);
  }
  std::free(buffer);
  if (!failed_ && std::ferror(file.get()))
    error = "cannot read " + path_ + ": " + std::strerror(errno);
  else if (failed_)
    error = "cannot write to the store: " + writer_.error();
  return error.empty();
}

}  // namespace

int hist_severity_of_type(char type) {
  static const struct { char type; int severity; } table[] = {
      {' ', 10}, {'*', 20}, {'_', 30}, {'-', 40}, {'Y', 150}, {'S', 160}, {'?', 170}, {'!', 180},
      {'R', 190}, {'I', 200}, {'M', 210}, {'W', 220}, {'E', 230}, {'A', 800}};
  if (type >= '0' && type <= '9')
    return 50 + ('9' - type) * 10;
  for (const auto& row : table)
    if (row.type == type)
      return row.severity;
  return -1;
}

bool hist_import_csv(const std::string& path, const hist_channels& channels, hist_writer& writer,
                     hist_time_parser& times, const hist_import_hooks& hooks, hist_import_counts& counts,
                     std::string& error) {
  csv_import import(path, channels, writer, times, hooks, counts);
  return import.run(error);
}

}  // namespace quillet
