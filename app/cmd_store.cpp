// quillet store: upkeep of a history store.
#include <cstdio>
#include <memory>
#include <string>

#include "app/commands.h"
#include "app/option_values.h"
#include "data/historian/hist_store.h"

namespace quillet::app {

namespace {

const char store_usage[] =
    "usage: quillet store prune --store STORE --before T\n\n"
    "prune drops the raw samples of the hours that end at or before T (seconds since 1970 or a\n"
    "local time YYYY-MM-DDTHH:MM:SS; a T inside an hour keeps that hour); the hourly summaries\n"
    "and the events stay, so statistics over whole hours still read them.\n"
    "Exit 0 on success, 1 when the store fails, 2 for a wrong command line.\n";

}  // namespace

int run_store(const arg_list& args) {
  if (wants_help(args)) {
    std::fputs(store_usage, stdout);
    return 0;
  }
  std::string store_name;
  std::uint32_t before = 0;
  bool have_before = false;
  for (std::size_t i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--store")
      store_name = args[i + 1];
    else if (args[i] == "--before" && !(have_before = parse_report_time(args[i + 1], before))) {
      std::fprintf(stderr, "quillet store: '%s' is not a time for --before.\n", args[i + 1].c_str());
      return 2;
    }
  }
  if (args.empty() || args[0] != "prune" || args.size() % 2 == 0 || store_name.empty() || !have_before) {
    std::fprintf(stderr, "quillet store: %s", store_usage);
    return 2;
  }
  std::string error;
  std::unique_ptr<hist_store> store = hist_open_store(store_name, true, error);
  if (!store) {
    std::fprintf(stderr, "quillet store: %s.\n", error.c_str());
    return 1;
  }
  const std::int64_t cut = hist_hour_of(static_cast<std::int64_t>(before) * 1000) * hist_hour_ms;
  std::int64_t dropped = 0;
  if (!store->begin() || !store->prune(cut, dropped) || !store->commit()) {
    std::fprintf(stderr, "quillet store: cannot prune: %s.\n", store->error().c_str());
    return 1;
  }
  std::printf("%lld samples dropped\n", static_cast<long long>(dropped));
  return 0;
}

}  // namespace quillet::app
