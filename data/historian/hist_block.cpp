// Packing and unpacking the hourly sample blocks.
#include "data/historian/hist_block.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <type_traits>

namespace quillet {

namespace {

constexpr std::uint32_t good_bit = 0x80000000u;

std::uint32_t swap_if_big(std::uint32_t v) { return std::endian::native == std::endian::big ? __builtin_bswap32(v) : v; }
std::uint64_t swap_if_big(std::uint64_t v) { return std::endian::native == std::endian::big ? __builtin_bswap64(v) : v; }

template <typename T>
void put_le(char* at, T v) {
  v = swap_if_big(v);
  std::memcpy(at, &v, sizeof v);
}

template <typename T>
T get_le(const char* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return swap_if_big(v);
}

}  // namespace

std::string hist_pack_block(std::int64_t hour, std::span<const hist_sample> samples) {
  std::string block(samples.size() * hist_block_sample_size, '\0');
  const std::int64_t start = hour * hist_hour_ms;
  char* at = block.data();
  for (const hist_sample& s : samples) {
    const auto offset = static_cast<std::uint32_t>(s.t - start);
    put_le<std::uint32_t>(at, offset | (s.good ? good_bit : 0u));
    put_le<std::uint64_t>(at + 4, std::bit_cast<std::uint64_t>(s.value));
    at += hist_block_sample_size;
  }
  return block;
}

// Checks every sample before appending any, so a damaged block adds nothing.
bool hist_unpack_block(std::int64_t hour, std::string_view block, std::vector<hist_sample>& out) {
  if (block.size() % hist_block_sample_size != 0)
    return false;
  const std::size_t n = block.size() / hist_block_sample_size, old_size = out.size();
  const std::int64_t start = hour * hist_hour_ms;
  out.reserve(old_size + n);
  std::int64_t previous = -1;
  for (const char* at = block.data(); at != block.data() + block.size(); at += hist_block_sample_size) {
    const auto word = get_le<std::uint32_t>(at);
    const std::int64_t offset = word & ~good_bit;
    if (offset <= previous || offset >= hist_hour_ms) {
      out.resize(old_size);
      return false;
    }
    previous = offset;
    out.push_back({start + offset, std::bit_cast<double>(get_le<std::uint64_t>(at + 4)), (word & good_bit) != 0});
  }
  return true;
}

std::vector<hist_sample> hist_merge_samples(std::span<const hist_sample> stored, std::span<const hist_sample> fresh) {
  std::vector<hist_sample> out;
  out.reserve(stored.size() + fresh.size());
  std::size_t i = 0, j = 0;
  while (i < stored.size() || j < fresh.size()) {
    if (j == fresh.size() || (i < stored.size() && stored[i].t < fresh[j].t)) {
      out.push_back(stored[i++]);
      continue;
    }
    if (i < stored.size() && stored[i].t == fresh[j].t)
      ++i;
    out.push_back(fresh[j++]);
  }
  return out;
}

std::int64_t hist_hour_of_any(std::int64_t t) {
  if (t < LLONG_MIN + hist_hour_ms)
    return LLONG_MIN / hist_hour_ms - 1;
  return hist_hour_of(t);
}

}  // namespace quillet

namespace quillet {

bool hist_block_range::add(std::int64_t hour, std::string_view block) {
  scratch_.clear();
  if (!hist_unpack_block(hour, block, scratch_))
    return false;
  for (const hist_sample& s : scratch_) {
    if (s.t < from_ || s.t >= to_)
      continue;
    if (taken_ == limit_) {
      more_ = true;
      return true;
    }
    out_.push_back(s);
    ++taken_;
  }
  return true;
}

bool hist_block_last(std::int64_t hour, std::string_view block, std::int64_t at, hist_sample& out, bool& found) {
  std::vector<hist_sample> list;
  found = false;
  if (!hist_unpack_block(hour, block, list))
    return false;
  auto after = std::upper_bound(list.begin(), list.end(), at, [](std::int64_t t, const hist_sample& s) { return t < s.t; });
  found = after != list.begin();
  if (found)
    out = *(after - 1);
  return true;
}

std::string hist_damaged_block(const hist_key& key, std::int64_t hour) {
  return "the store holds a damaged sample block (node " + std::to_string(key.node) + ", channel " +
         std::to_string(key.channel) + ", hour " + std::to_string(hour) + "); import that history again";
}

std::string hist_damaged_summary(const hist_key& key) {
  return "the store holds a damaged summary of node " + std::to_string(key.node) + ", channel " +
         std::to_string(key.channel) + "; import that history again";
}

}  // namespace quillet

namespace quillet {

namespace {

// The fields of a summary in their packed order: integers and flags as int64, the rest as
// the bits of their double.
template <typename Summary, typename Visit>
void summary_fields(Summary& s, Visit&& visit) {
  visit(s.hour), visit(s.count), visit(s.sum), visit(s.sum2), visit(s.min), visit(s.min_t), visit(s.max),
      visit(s.max_t), visit(s.first.t), visit(s.first.value), visit(s.first.good), visit(s.last.t),
      visit(s.last.value), visit(s.last.good), visit(s.weight), visit(s.integral), visit(s.integral2);
}

}  // namespace

std::string hist_pack_summary(const hist_summary& s) {
  std::string packed(hist_packed_summary_size, '\0');
  char* at = packed.data();
  summary_fields(s, [&](const auto& field) {
    using T = std::decay_t<decltype(field)>;
    std::uint64_t word;
    if constexpr (std::is_same_v<T, double>)
      word = std::bit_cast<std::uint64_t>(field);
    else
      word = static_cast<std::uint64_t>(static_cast<std::int64_t>(field));
    put_le<std::uint64_t>(at, word);
    at += 8;
  });
  return packed;
}

bool hist_unpack_summary(std::string_view packed, hist_summary& s) {
  if (packed.size() != hist_packed_summary_size)
    return false;
  const char* at = packed.data();
  summary_fields(s, [&](auto& field) {
    using T = std::decay_t<decltype(field)>;
    const auto word = get_le<std::uint64_t>(at);
    at += 8;
    if constexpr (std::is_same_v<T, double>)
      field = std::bit_cast<double>(word);
    else if constexpr (std::is_same_v<T, bool>)
      field = word != 0;
    else
      field = static_cast<T>(word);
  });
  return true;
}

}  // namespace quillet
