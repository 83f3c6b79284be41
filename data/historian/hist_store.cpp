// Opening a store by name, the version message, and the hourly summary of samples.
#include "data/historian/hist_store.h"

#include "data/historian/hist_backends.h"

namespace quillet {

namespace {

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

std::unique_ptr<hist_store> hist_open_store(const std::string& name, bool writable, std::string& error) {
  if (starts_with(name, "postgresql://") || starts_with(name, "postgres://"))
    return hist_open_postgres_store(name, writable, error);
  const std::string path = starts_with(name, "sqlite:") ? name.substr(7) : name;
  if (path.empty()) {
    error = "no file named in the store '" + name + "'";
    return nullptr;
  }
  return hist_open_sqlite_store(path, writable, error);
}

std::string hist_version_message(const std::string& name, int version) {
  const std::string head = "the store " + name + " has schema version " + std::to_string(version);
  if (version < hist_schema_version)
    return head + ", which this quillet no longer reads: import its history again into a new store";
  return head + "; this quillet reads version " + std::to_string(hist_schema_version) + ": use a newer quillet";
}

// Extremes keep the earliest time of an equal value; each good sample holds its value until
// the next sample or the end of the hour.
hist_summary hist_summarise(std::int64_t hour, std::span<const hist_sample> samples) {
  hist_summary s;
  s.hour = hour;
  const std::int64_t end = (hour + 1) * hist_hour_ms;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const hist_sample& x = samples[i];
    if (i == 0)
      s.first = x;
    s.last = x;
    if (!x.good)
      continue;
    const double held = static_cast<double>((i + 1 < samples.size() ? samples[i + 1].t : end) - x.t);
    s.weight += held;
    s.integral += x.value * held;
    s.integral2 += x.value * x.value * held;
    if (s.count == 0 || x.value > s.max) {
      s.max = x.value;
      s.max_t = x.t;
    }
    if (s.count == 0 || x.value < s.min) {
      s.min = x.value;
      s.min_t = x.t;
    }
    s.sum += x.value;
    s.sum2 += x.value * x.value;
    s.count += 1;
  }
  return s;
}

void hist_fold_summary(hist_summary& into, const hist_summary& next) {
  if (into.last.good) {
    const double held = static_cast<double>(next.first.t - (into.hour + 1) * hist_hour_ms);
    into.weight += held;
    into.integral += into.last.value * held;
    into.integral2 += into.last.value * into.last.value * held;
  }
  into.weight += next.weight;
  into.integral += next.integral;
  into.integral2 += next.integral2;
  if (next.count > 0 && (into.count == 0 || next.max > into.max)) {
    into.max = next.max;
    into.max_t = next.max_t;
  }
  if (next.count > 0 && (into.count == 0 || next.min < into.min)) {
    into.min = next.min;
    into.min_t = next.min_t;
  }
  into.count += next.count;
  into.sum += next.sum;
  into.sum2 += next.sum2;
  into.last = next.last;
  into.hour = next.hour;
}

}  // namespace quillet
