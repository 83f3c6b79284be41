// A store as a report reads it: the summaries of a channel are fetched a month at a time and
// kept, so a table of hourly statistics costs one query per channel and month rather than
// one per cell. Safe because a report reads one snapshot; writing passes straight through.
#pragma once

#include <map>
#include <memory>
#include <utility>

#include "data/historian/hist_store.h"

namespace quillet {

class hist_read_cache : public hist_store {
public:
  explicit hist_read_cache(std::unique_ptr<hist_store> inner) : inner_(std::move(inner)) {}

  bool samples(const hist_key& key, std::int64_t from, std::int64_t to, std::size_t limit,
               std::vector<hist_sample>& out, bool& more) override {
    return keep(inner_->samples(key, from, to, limit, out, more));
  }
  bool sample_at(const hist_key& key, std::int64_t at, std::int64_t not_before, hist_sample& out,
                 bool& found) override {
    return keep(inner_->sample_at(key, at, not_before, out, found));
  }
  bool summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) override;
  bool day_summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) override {
    return keep(inner_->day_summaries(key, from, to, out));
  }
  bool summary_before(const hist_key& key, std::int64_t hour, hist_summary& out, bool& found) override {
    return keep(inner_->summary_before(key, hour, out, found));
  }
  bool events(int node, std::int64_t from, std::int64_t to, std::size_t limit, std::vector<hist_event>& out,
              bool& more) override {
    return keep(inner_->events(node, from, to, limit, out, more));
  }
  bool begin() override { return keep(inner_->begin()); }
  bool commit() override { return keep(inner_->commit()); }
  void rollback() override { inner_->rollback(); }
  bool put_hour(const hist_key& key, std::int64_t hour, std::span<const hist_sample> samples) override {
    return keep(inner_->put_hour(key, hour, samples));
  }
  bool put_summary(const hist_key& key, const hist_summary& summary) override {
    return keep(inner_->put_summary(key, summary));
  }
  bool put_day_summary(const hist_key& key, std::int64_t day, const hist_summary& summary) override {
    return keep(inner_->put_day_summary(key, day, summary));
  }
  bool put_event(const hist_event& event) override { return keep(inner_->put_event(event)); }
  bool prune(std::int64_t before, std::int64_t& dropped) override { return keep(inner_->prune(before, dropped)); }

private:
  // Takes the inner store's message with its answer.
  bool keep(bool ok) {
    error_ = inner_->error();
    return ok;
  }

  std::unique_ptr<hist_store> inner_;
  struct kept {
    std::int64_t from = 0, to = 0;  // hours covered
    std::vector<hist_summary> list;
  };
  std::map<std::pair<int, int>, kept> kept_;
};

}  // namespace quillet
