// Writes samples and events into a store in batches, one transaction each, and keeps the
// hourly and daily summaries of every hour and day a batch touches. An interrupted import keeps every batch
// it committed and nothing of the batch it was writing.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "data/historian/hist_store.h"

namespace quillet {

class hist_writer {
public:
  // Commits a batch every `batch_size` samples and events.
  explicit hist_writer(hist_store& store, std::size_t batch_size = 200000) : store_(store), batch_size_(batch_size) {}

  // Buffers a sample or an event; false when a batch it completed could not be committed.
  bool add(const hist_key& key, const hist_sample& sample);
  bool add(const hist_event& event);
  // Writes what is buffered in one transaction with the summaries of the touched hours.
  bool flush();

  std::uint64_t committed() const { return committed_; }
  const std::string& error() const { return store_.error(); }

private:
  bool write_batch();
  bool write_hour(const hist_key& key, std::int64_t hour, std::span<const hist_sample> fresh);
  bool write_day(const hist_key& key, std::int64_t day);

  hist_store& store_;
  std::size_t batch_size_;
  std::size_t pending_ = 0;
  std::uint64_t committed_ = 0;
  std::map<std::pair<int, int>, std::vector<hist_sample>> samples_;
  std::vector<hist_event> events_;
};

}  // namespace quillet
