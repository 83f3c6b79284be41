// Importing history exports (CSV) into a store. Three forms are told apart by the header:
//   long:   time, channel, value[, quality]      one sample a row
//   wide:   time, CHANNEL, CHANNEL, ...          one row per time, a column per channel
//   events: time, channel, type, severity, text  one event a row
// A column named node may qualify channels. A bad row is reported with its file and line
// and skipped; everything else is written in batches.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "data/historian/hist_channels.h"
#include "data/historian/hist_time.h"
#include "data/historian/hist_writer.h"

namespace quillet {

struct hist_import_counts {
  std::uint64_t rows = 0, samples = 0, events = 0, bad_rows = 0;
};

struct hist_import_hooks {
  // A bad row or column: "FILE:LINE: what".
  std::function<void(const std::string&)> problem;
  // Rows read so far in a file, every so often.
  std::function<void(const std::string& file, std::uint64_t rows)> progress;
};

// Imports one file; false with `error` when the file cannot be read or the store fails
// (the batches committed before stay).
bool hist_import_csv(const std::string& path, const hist_channels& channels, hist_writer& writer,
                     hist_time_parser& times, const hist_import_hooks& hooks, hist_import_counts& counts,
                     std::string& error);

// The severity class of an event type character (A alarm 800, W warning 220, ...); -1 for
// a character that names none.
int hist_severity_of_type(char type);

}  // namespace quillet
