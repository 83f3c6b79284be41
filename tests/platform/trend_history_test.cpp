// Reading a trend window's history from an archive: bounds, channels, blocks and failures.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/trend/trend_history.h"
#include "tests/platform/trend_fakes.h"

namespace quillet::trend {
namespace {

using testing::fake_archive;
using testing::make_record;

constexpr std::uint32_t t0 = 1700000000;

std::vector<trend_curve> curves_on(std::initializer_list<std::uint32_t> channels) {
  std::vector<trend_curve> curves;
  for (std::uint32_t c : channels) {
    trend_curve curve;
    curve.channel = c;
    curves.push_back(curve);
  }
  return curves;
}

// One record per second and channel over [from, to).
void fill(fake_archive& archive, std::uint32_t from, std::uint32_t to, std::initializer_list<std::int16_t> channels) {
  for (std::uint32_t s = from; s < to; ++s)
    for (std::int16_t c : channels)
      archive.records.push_back(make_record(s, c, static_cast<float>(s - from)));
}

TEST(TrendHistory, ReadsTheWindowOnly) {
  struct row {
    std::uint16_t millis;
    std::int32_t span;
    std::size_t samples;
    float first_t, last_t;
  };
  const row rows[] = {
      {0, 60, 60, 0.0f, 59.0f},
      {0, 1, 1, 0.0f, 0.0f},
      {500, 10, 10, 0.5f, 9.5f},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.span);
    fake_archive archive;
    fill(archive, t0 - 5, t0 + 100, {4});
    const trend_history h = read_trend_history(&archive, curves_on({4}), {t0, r.millis, r.span});
    ASSERT_EQ(archive.calls.size(), 1u);
    EXPECT_EQ(archive.calls[0].start.time, t0);
    EXPECT_EQ(archive.calls[0].start.millis, r.millis);
    EXPECT_EQ(archive.calls[0].start.channel, 0);
    EXPECT_EQ(archive.calls[0].end, t0 + r.span + (r.millis ? 1 : 0)) << "the end is the exclusive bound";
    EXPECT_EQ(archive.calls[0].max, 1024);
    ASSERT_EQ(h.curves.size(), 1u);
    ASSERT_EQ(h.curves[0].size(), r.samples);
    EXPECT_FLOAT_EQ(h.curves[0].front().t, r.first_t);
    EXPECT_FLOAT_EQ(h.curves[0].back().t, r.last_t);
    EXPECT_FALSE(h.failed);
  }
}

TEST(TrendHistory, AsksForEachChannelOnceAndFilesRecordsByChannel) {
  struct row {
    std::vector<trend_curve> curves;
    std::vector<std::int16_t> asked;
    std::vector<std::size_t> samples;
  };
  const row rows[] = {
      {curves_on({5, 7, 5}), {5, 7}, {10, 10, 10}},
      {curves_on({7}), {7}, {10}},
      {curves_on({65535}), {-1}, {10}},
      {curves_on({70000, 5}), {5}, {0, 10}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.asked.size());
    fake_archive archive;
    fill(archive, t0, t0 + 10, {5, 7, 9, -1});
    const trend_history h = read_trend_history(&archive, r.curves, {t0, 0, 60});
    ASSERT_EQ(archive.calls.size(), 1u);
    EXPECT_EQ(archive.calls[0].channels, r.asked);
    ASSERT_EQ(h.curves.size(), r.samples.size());
    for (std::size_t i = 0; i < r.samples.size(); ++i)
      EXPECT_EQ(h.curves[i].size(), r.samples[i]) << "curve " << i;
  }
}

TEST(TrendHistory, ContinuesOverFullBlocks) {
  struct row {
    const char* name;
    bool tells_next;
    std::uint32_t seconds;
    std::size_t calls;
  };
  const row rows[] = {
      {"archive says where to go on", true, 1500, 3},
      {"continuing after the last record", false, 1500, 3},
      {"exactly one full block", true, 512, 2},
      {"just short of a block", false, 511, 1},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    fake_archive archive;
    archive.tells_next = r.tells_next;
    fill(archive, t0, t0 + r.seconds, {1, 2});
    const trend_history h = read_trend_history(&archive, curves_on({1, 2}), {t0, 0, 3600});
    EXPECT_EQ(archive.calls.size(), r.calls);
    ASSERT_EQ(h.curves[0].size(), r.seconds);
    ASSERT_EQ(h.curves[1].size(), r.seconds);
    for (std::uint32_t i = 0; i < r.seconds; ++i)
      ASSERT_FLOAT_EQ(h.curves[0][i].v, static_cast<float>(i)) << "no record lost or repeated at " << i;
    for (const auto& call : archive.calls)
      EXPECT_EQ(call.end, t0 + 3600);
  }
}

TEST(TrendHistory, FailureOrStatusEndsTheRead) {
  struct row {
    int fail_on, status_on;
    std::size_t samples;
  };
  const row rows[] = {
      {0, -1, 0},
      {1, -1, 1024},
      {-1, 1, 1024},
      {-1, 0, 0},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.fail_on * 10 + r.status_on);
    fake_archive archive;
    archive.fail_on_call = r.fail_on;
    archive.status_on_call = r.status_on;
    fill(archive, t0, t0 + 3000, {3});
    const trend_history h = read_trend_history(&archive, curves_on({3}), {t0, 0, 3600});
    EXPECT_TRUE(h.failed);
    EXPECT_EQ(h.curves[0].size(), r.samples);
    EXPECT_EQ(static_cast<int>(archive.calls.size()), std::max(r.fail_on, r.status_on) + 1);
  }
}

TEST(TrendHistory, NothingToReadMakesNoCall) {
  fake_archive archive;
  fill(archive, t0, t0 + 10, {1});
  EXPECT_TRUE(read_trend_history(nullptr, curves_on({1}), {t0, 0, 60}).curves[0].empty());
  EXPECT_TRUE(read_trend_history(&archive, {}, {t0, 0, 60}).curves.empty());
  EXPECT_TRUE(read_trend_history(&archive, curves_on({1}), {t0, 0, 0}).curves[0].empty());
  EXPECT_TRUE(read_trend_history(&archive, curves_on({70000}), {t0, 0, 60}).curves[0].empty());
  EXPECT_TRUE(archive.calls.empty());
}

TEST(TrendHistory, WindowEndStaysOnTheClock) {
  struct row {
    std::uint32_t seconds;
    std::uint16_t millis;
    std::int32_t span;
    std::uint32_t end;
  };
  const row rows[] = {
      {t0, 0, 60, t0 + 60},
      {t0, 1, 60, t0 + 61},
      {t0, 0, -5, t0},
      {0xFFFFFF00u, 0, 0x7FFFFFFF, 0xFFFFFFFFu},
      {0xFFFFFFFFu, 999, 1, 0xFFFFFFFFu},
      {0, 0, 0x7FFFFFFF, 0x7FFFFFFFu},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.span);
    EXPECT_EQ(window_end({r.seconds, r.millis, r.span}), r.end);
  }
}

TEST(TrendHistory, KeepsValuesThatAreNotNumbers) {
  fake_archive archive;
  archive.records.push_back(make_record(t0, 1, std::numeric_limits<float>::quiet_NaN()));
  archive.records.push_back(make_record(t0 + 1, 1, std::numeric_limits<float>::infinity()));
  const trend_history h = read_trend_history(&archive, curves_on({1}), {t0, 0, 60});
  ASSERT_EQ(h.curves[0].size(), 2u);
  EXPECT_TRUE(std::isnan(h.curves[0][0].v));
  EXPECT_TRUE(std::isinf(h.curves[0][1].v));
}

}  // namespace
}  // namespace quillet::trend
