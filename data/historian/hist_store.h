// The history store: per channel, time-stamped samples with a quality flag and hourly
// summaries of them; per node, the event log. One interface with one file per back end
// (SQLite, PostgreSQL). Times are milliseconds since 1970 UTC; hours are UTC hours counted
// from 1970. A store is used from one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace quillet {

// The schema version this program writes and reads. Version 1 kept a row per sample; its
// stores are refused with a request to import the history again.
inline constexpr int hist_schema_version = 2;
inline constexpr std::int64_t hist_hour_ms = 3600000;

// A channel of the store: the node's index in the project and the channel number.
struct hist_key {
  int node = 0;
  int channel = 0;
  friend bool operator==(const hist_key&, const hist_key&) = default;
};

struct hist_sample {
  std::int64_t t = 0;  // milliseconds since 1970 UTC
  double value = 0.0;
  bool good = true;    // a bad sample marks the value as not there from its time on
};

// What the importer keeps per channel and UTC hour. count to max_t cover the good samples;
// the integrals run from the first sample to the hour's end, each good sample holding its
// value until the next sample (weight is the milliseconds held, integral the value times
// milliseconds, integral2 the square's).
struct hist_summary {
  std::int64_t hour = 0;
  double count = 0.0, sum = 0.0, sum2 = 0.0;
  double min = 0.0, max = 0.0;
  std::int64_t min_t = 0, max_t = 0;
  hist_sample first, last;
  double weight = 0.0, integral = 0.0, integral2 = 0.0;
};

struct hist_event {
  int node = 0;
  std::int64_t t = 0;
  int channel = -1;
  int code = 0;
  int severity = 0;
  std::string text;
};

class hist_store {
public:
  virtual ~hist_store() = default;

  // Reading. Each answers in time order and is false (with error()) only when the store fails.
  // Samples with from <= t < to, at most `limit` (a longer answer sets `more`).
  virtual bool samples(const hist_key& key, std::int64_t from, std::int64_t to, std::size_t limit,
                       std::vector<hist_sample>& out, bool& more) = 0;
  // The last sample with t <= at and t >= not_before; found false when there is none.
  virtual bool sample_at(const hist_key& key, std::int64_t at, std::int64_t not_before, hist_sample& out,
                         bool& found) = 0;
  // Summaries of the hours from <= hour < to.
  virtual bool summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) = 0;
  // Summaries of the UTC days from <= day < to (days counted from 1970): each the day's hour
  // summaries folded in time order, its `hour` that of the last of them.
  virtual bool day_summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) = 0;
  // The last summary of an hour before `hour`; found false when there is none.
  virtual bool summary_before(const hist_key& key, std::int64_t hour, hist_summary& out, bool& found) = 0;
  // A node's events with from <= t <= to, newest first, at most `limit` (more as above).
  virtual bool events(int node, std::int64_t from, std::int64_t to, std::size_t limit, std::vector<hist_event>& out,
                      bool& more) = 0;

  // Writing, inside begin() ... commit(); a store opened for reading refuses. An hour's
  // samples are written whole, replacing what the store held of that hour; an event stored
  // again replaces the one with every field equal, so importing the same rows twice stores
  // them once.
  virtual bool begin() = 0;
  virtual bool commit() = 0;
  virtual void rollback() = 0;
  // The samples of one UTC hour, sorted by time without repeated times, all within the hour.
  virtual bool put_hour(const hist_key& key, std::int64_t hour, std::span<const hist_sample> samples) = 0;
  virtual bool put_summary(const hist_key& key, const hist_summary& summary) = 0;
  virtual bool put_day_summary(const hist_key& key, std::int64_t day, const hist_summary& summary) = 0;
  virtual bool put_event(const hist_event& event) = 0;
  // Drops the samples before `before` (milliseconds); summaries and events stay.
  virtual bool prune(std::int64_t before, std::int64_t& dropped) = 0;

  // Why the last operation failed.
  const std::string& error() const { return error_; }

protected:
  std::string error_;
};

// Opens a store named "sqlite:PATH", a plain path (SQLite), or "postgresql://..." /
// "postgres://...". For reading, the store must exist and is read as one snapshot until it
// is closed; for writing, it is created when missing. A store of a newer schema version is
// refused. Null with a message in `error` on failure.
std::unique_ptr<hist_store> hist_open_store(const std::string& name, bool writable, std::string& error);

// The message for a store whose schema version is not the one this program reads: a newer
// one asks for a newer program, an older one for importing the history again.
std::string hist_version_message(const std::string& name, int version);

// The summary of one hour's samples (sorted by time, all within the hour).
hist_summary hist_summarise(std::int64_t hour, std::span<const hist_sample> samples);

// Folds the summary of a later hour (or day) into `into`: counts, sums and integrals add, the
// value `into` ends with holding until `next` begins joins the integrals, extremes keep the
// earlier time of an equal value. So a statistic reading the folded summary adds up what it
// would from the summaries one by one.
void hist_fold_summary(hist_summary& into, const hist_summary& next);

inline std::int64_t hist_day_of_hour(std::int64_t hour) { return hour >= 0 ? hour / 24 : (hour - 23) / 24; }

inline std::int64_t hist_hour_of(std::int64_t t) { return t >= 0 ? t / hist_hour_ms : (t - hist_hour_ms + 1) / hist_hour_ms; }

}  // namespace quillet
