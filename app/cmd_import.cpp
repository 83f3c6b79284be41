// quillet import: fill a history store from CSV exports, from the simulated source, or with
// believable history for the demo project.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/commands.h"
#include "app/option_values.h"
#include "report/report_data.h"
#include "data/historian/hist_generate.h"
#include "data/historian/hist_import.h"

namespace quillet::app {

namespace {

const char import_usage[] =
    "usage: quillet import --store STORE [--project FILE] [--tz ZONE] FILE...\n"
    "       quillet import --store STORE [--project FILE] --simulate --from T1 --to T2 [--step S]\n"
    "       quillet import --store STORE [--project FILE] --demo-plant --from T1 --to T2 [--step S]\n\n"
    "Writes process history into STORE (sqlite:PATH, a plain path, or postgresql://...), creating\n"
    "it when missing. Channels are matched to the project (--project, default: the bundled demo\n"
    "project) by name, by code, or as NODE:NAME.\n"
    "FILE is CSV with a header, in one of three forms: long (time, channel, value[, quality]),\n"
    "wide (time and one column per channel) or events (time, channel, type, severity, text);\n"
    "a node column may qualify the channel. Times are seconds since 1970 (twelve or more digits:\n"
    "milliseconds) or ISO 8601 (YYYY-MM-DDTHH:MM:SS[.fff][Z|+HH:MM]); times without a zone are\n"
    "local times of --tz (default: the TZ of the environment). Rows already stored are stored\n"
    "once; each bad row is reported as FILE:LINE and skipped. Rows are written in transactions\n"
    "of 200000, so an interrupted import keeps every batch it finished.\n"
    "--simulate writes the simulated source's values for every channel, one sample every --step\n"
    "seconds (default 1); --demo-plant writes a day-and-night history for the demo project,\n"
    "one sample a --step (default 60) with a boiler trip, a data gap and their events.\n"
    "--from and --to are seconds since 1970 or local times YYYY-MM-DDTHH:MM:SS.\n"
    "Exit 0 when everything was imported, 1 when rows were bad or the store failed, 2 for a wrong\n"
    "command line.\n";

struct import_options {
  std::string store, project, tz;
  std::vector<std::string> files;
  bool simulate = false, demo = false;
  std::uint32_t from = 0, to = 0;
  bool have_from = false, have_to = false;
  std::uint32_t step = 0;
};

bool take_option(const std::string& a, const std::string& v, import_options& o) {
  if (a == "--store")
    o.store = v;
  else if (a == "--project")
    o.project = v;
  else if (a == "--tz")
    o.tz = v;
  else if (a == "--from" && !(o.have_from = parse_report_time(v, o.from)))
    return false;
  else if (a == "--to" && !(o.have_to = parse_report_time(v, o.to)))
    return false;
  else if (a == "--step") {
    char* end = nullptr;
    const unsigned long n = std::strtoul(v.c_str(), &end, 10);
    if (v.empty() || *end || n == 0 || n > 86400)
      return false;
    o.step = static_cast<std::uint32_t>(n);
  }
  return true;
}

bool parse_import_args(const arg_list& args, import_options& o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool takes = a == "--store" || a == "--project" || a == "--tz" || a == "--from" || a == "--to" || a == "--step";
    if (takes && i + 1 >= args.size()) {
      std::fprintf(stderr, "quillet import: %s needs a value.\n", a.c_str());
      return false;
    }
    if (takes && !take_option(a, args[++i], o)) {
      std::fprintf(stderr, "quillet import: '%s' is not a value for %s.\n", args[i].c_str(), a.c_str());
      return false;
    }
    if (takes)
      continue;
    if (a == "--simulate")
      o.simulate = true;
    else if (a == "--demo-plant")
      o.demo = true;
    else if (a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "quillet import: unknown option '%s'.\n", a.c_str());
      return false;
    } else
      o.files.push_back(a);
  }
  const char* wrong = o.store.empty()                                        ? "no --store given"
                      : o.simulate && o.demo                                 ? "--simulate and --demo-plant exclude each other"
                      : (o.simulate || o.demo) && !o.files.empty()           ? "files cannot be imported with --simulate or --demo-plant"
                      : (o.simulate || o.demo) && !(o.have_from && o.have_to) ? "--from and --to are needed"
                      : (o.simulate || o.demo) && o.from >= o.to            ? "--from must come before --to"
                      : !o.simulate && !o.demo && o.files.empty()           ? "no FILE given"
                                                                             : nullptr;
  if (wrong)
    std::fprintf(stderr, "quillet import: %s; 'quillet import --help' shows the usage.\n", wrong);
  return !wrong;
}

// A zone name must be one the system knows, so a typing error does not read times as UTC.
bool set_zone(const std::string& tz) {
  if (tz.empty())
    return true;
  std::error_code ec;
  if (tz != "UTC" && !std::filesystem::is_regular_file("/usr/share/zoneinfo/" + tz, ec))
    return false;
  setenv("TZ", tz.c_str(), 1);
  tzset();
  return true;
}

int import_files(const import_options& o, const hist_channels& channels, hist_writer& writer) {
  const bool terminal = isatty(STDERR_FILENO);
  hist_import_hooks hooks;
  hooks.problem = [&](const std::string& text) { std::fprintf(stderr, "%s%s\n", terminal ? "\r\033[K" : "", text.c_str()); };
  if (terminal)
    hooks.progress = [](const std::string& file, std::uint64_t rows) {
      std::fprintf(stderr, "\r\033[Kimporting %s: %llu rows", file.c_str(), static_cast<unsigned long long>(rows));
    };
  hist_time_parser times;
  hist_import_counts counts;
  for (const std::string& file : o.files) {
    std::string error;
    if (!hist_import_csv(file, channels, writer, times, hooks, counts, error) || !writer.flush()) {
      std::fprintf(stderr, "%squillet import: %s\n", terminal ? "\r\033[K" : "",
                   error.empty() ? writer.error().c_str() : error.c_str());
      return 1;
    }
  }
  std::fprintf(stderr, "%squillet import: %llu rows read, %llu samples and %llu events stored, %llu bad rows skipped.\n",
               terminal ? "\r\033[K" : "", static_cast<unsigned long long>(counts.rows),
               static_cast<unsigned long long>(counts.samples), static_cast<unsigned long long>(counts.events),
               static_cast<unsigned long long>(counts.bad_rows));
  return counts.bad_rows ? 1 : 0;
}

int generate(const import_options& o, const hist_channels& channels, hist_writer& writer) {
  const std::int64_t from = static_cast<std::int64_t>(o.from) * 1000, to = static_cast<std::int64_t>(o.to) * 1000;
  const bool ok = o.simulate ? hist_generate_simulated(channels, from, to, o.step ? o.step : 1, writer)
                             : hist_generate_demo_plant(channels, from, to, o.step ? o.step : 60, writer);
  if (!ok || !writer.flush()) {
    std::fprintf(stderr, "quillet import: cannot write to the store: %s\n", writer.error().c_str());
    return 1;
  }
  std::fprintf(stderr, "quillet import: %llu samples and events stored.\n",
               static_cast<unsigned long long>(writer.committed()));
  return 0;
}

}  // namespace

int run_import(const arg_list& args) {
  if (wants_help(args)) {
    std::fputs(import_usage, stdout);
    return 0;
  }
  import_options o;
  if (!parse_import_args(args, o))
    return 2;
  if (!set_zone(o.tz)) {
    std::fprintf(stderr, "quillet import: '%s' is not a time zone this system knows (for example Europe/Rome).\n",
                 o.tz.c_str());
    return 2;
  }
  report_data data;
  std::string error;
  if (!open_report_data(o.project, "", "", 0, data, error)) {
    std::fprintf(stderr, "quillet import: cannot load the project: %s.\n", error.c_str());
    return 1;
  }
  std::unique_ptr<hist_store> store = hist_open_store(o.store, true, error);
  if (!store) {
    std::fprintf(stderr, "quillet import: %s.\n", error.c_str());
    return 1;
  }
  const hist_channels channels(data.map);
  hist_writer writer(*store);
  return o.files.empty() ? generate(o, channels, writer) : import_files(o, channels, writer);
}

}  // namespace quillet::app
