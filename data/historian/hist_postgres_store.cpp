// The PostgreSQL back end of the history store: the same tables as the SQLite file, with the
// hourly sample blocks partitioned by month (each partition made when a block first needs
// it) under a B-tree key of channel and hour. Readers hold one repeatable-read transaction,
// so a report sees one snapshot while an import commits beside it. Numbers travel as text:
// doubles are written with 17 digits and read back exactly; sample blocks travel as bytes.
#include <endian.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <set>

#include "data/historian/hist_backends.h"
#include "data/historian/hist_block.h"
#include "data/historian/hist_time.h"
#include "data/historian/pq_library.h"

namespace quillet {

namespace {

// The client library, loaded by the first store opened.
const pq_api* pq = nullptr;

const char* const schema_sql =
    "CREATE TABLE IF NOT EXISTS quillet_meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS sample_block(node INTEGER NOT NULL, channel INTEGER NOT NULL, hour BIGINT NOT NULL,"
    " data BYTEA NOT NULL, PRIMARY KEY(node, channel, hour)) PARTITION BY RANGE (hour);"
    "CREATE TABLE IF NOT EXISTS hour_summary(node INTEGER NOT NULL, channel INTEGER NOT NULL, hour BIGINT NOT NULL,"
    " count DOUBLE PRECISION, sum DOUBLE PRECISION, sum2 DOUBLE PRECISION, min DOUBLE PRECISION, min_t BIGINT,"
    " max DOUBLE PRECISION, max_t BIGINT, first_t BIGINT, first_v DOUBLE PRECISION, first_good BOOLEAN,"
    " last_t BIGINT, last_v DOUBLE PRECISION, last_good BOOLEAN, weight DOUBLE PRECISION, integral DOUBLE PRECISION,"
    " integral2 DOUBLE PRECISION, packed BYTEA NOT NULL, PRIMARY KEY(node, channel, hour));"
    "CREATE TABLE IF NOT EXISTS day_summary(node INTEGER NOT NULL, channel INTEGER NOT NULL, day BIGINT NOT NULL,"
    " hour BIGINT, count DOUBLE PRECISION, sum DOUBLE PRECISION, sum2 DOUBLE PRECISION, min DOUBLE PRECISION,"
    " min_t BIGINT, max DOUBLE PRECISION, max_t BIGINT, first_t BIGINT, first_v DOUBLE PRECISION, first_good BOOLEAN,"
    " last_t BIGINT, last_v DOUBLE PRECISION, last_good BOOLEAN, weight DOUBLE PRECISION, integral DOUBLE PRECISION,"
    " integral2 DOUBLE PRECISION, packed BYTEA NOT NULL, PRIMARY KEY(node, channel, day));"
    "CREATE TABLE IF NOT EXISTS event(node INTEGER NOT NULL, t BIGINT NOT NULL, channel INTEGER NOT NULL,"
    " code INTEGER NOT NULL, severity INTEGER NOT NULL, text TEXT NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS event_key ON event(node, t, channel, code, severity, md5(text));";

// Reports read a summary whole from its packed column; the others are there for SQL.
const char* const summary_columns = "packed";

// A result, cleared with its owner.
struct result {
  PGresult* r = nullptr;
  result() = default;
  result(result&& other) noexcept : r(other.r) { other.r = nullptr; }
  result(const result&) = delete;
  result& operator=(const result&) = delete;
  ~result() {
    if (r)
      pq->PQclear(r);
  }
  int rows() const { return pq->PQntuples(r); }
  std::int64_t i64(int row, int col) const { return std::strtoll(pq->PQgetvalue(r, row, col), nullptr, 10); }
  bool flag(int row, int col) const { return pq->PQgetvalue(r, row, col)[0] == 't'; }
  // Columns of a result in binary form; a null or a column of another width reads as zero.
  template <typename T>
  T bin(int row, int col) const {
    T v{};
    if (pq->PQgetlength(r, row, col) == sizeof v)
      std::memcpy(&v, pq->PQgetvalue(r, row, col), sizeof v);
    return v;
  }
  std::int64_t bin_i64(int row, int col) const { return static_cast<std::int64_t>(be64toh(bin<std::uint64_t>(row, col))); }
  std::int32_t bin_i32(int row, int col) const { return static_cast<std::int32_t>(be32toh(bin<std::uint32_t>(row, col))); }
  double bin_f64(int row, int col) const { return std::bit_cast<double>(be64toh(bin<std::uint64_t>(row, col))); }
  bool bin_flag(int row, int col) const { return bin<char>(row, col) != 0; }
  hist_sample bin_sample(int row, int col) const { return {bin_i64(row, col), bin_f64(row, col + 1), bin_flag(row, col + 2)}; }
  std::string_view bytes(int row, int col) const {
    return {pq->PQgetvalue(r, row, col), static_cast<std::size_t>(pq->PQgetlength(r, row, col))};
  }
};

std::string num(std::int64_t v) { return std::to_string(v); }
std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// The months of the partitions: month index since 1970 and its bounds in milliseconds.
std::int64_t month_of(std::int64_t t) {
  const std::int64_t days = t >= 0 ? t / 86400000 : (t - 86399999) / 86400000;
  std::int64_t y = 1970 + days / 366, m = 1;
  while (hist_days_from_civil(static_cast<int>(y + 1), 1, 1) <= days)
    ++y;
  while (m < 12 && hist_days_from_civil(static_cast<int>(y), static_cast<int>(m + 1), 1) <= days)
    ++m;
  return (y - 1970) * 12 + (m - 1);
}
std::int64_t month_start(std::int64_t month) {
  const std::int64_t y = 1970 + (month >= 0 ? month / 12 : (month - 11) / 12);
  const std::int64_t m = month - (y - 1970) * 12 + 1;
  return hist_days_from_civil(static_cast<int>(y), static_cast<int>(m), 1) * 86400000;
}

class postgres_store : public hist_store {
public:
  ~postgres_store() override {
    if (db_)
      pq->PQfinish(db_);
  }
  bool open(const std::string& uri, bool writable, std::string& error);

  bool samples(const hist_key& key, std::int64_t from, std::int64_t to, std::size_t limit,
               std::vector<hist_sample>& out, bool& more) override;
  bool sample_at(const hist_key& key, std::int64_t at, std::int64_t not_before, hist_sample& out,
                 bool& found) override;
  bool summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) override;
  bool day_summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) override;
  bool summary_before(const hist_key& key, std::int64_t hour, hist_summary& out, bool& found) override;
  bool events(int node, std::int64_t from, std::int64_t to, std::size_t limit, std::vector<hist_event>& out,
              bool& more) override;
  bool begin() override { return run("BEGIN", {}).r; }
  bool commit() override { return run("COMMIT", {}).r; }
  // Partitions made in the transaction go with it.
  void rollback() override {
    run("ROLLBACK", {});
    partitions_.clear();
  }
  bool put_hour(const hist_key& key, std::int64_t hour, std::span<const hist_sample> samples) override;
  bool put_summary(const hist_key& key, const hist_summary& summary) override;
  bool put_day_summary(const hist_key& key, std::int64_t day, const hist_summary& summary) override;
  bool put_event(const hist_event& event) override;
  bool prune(std::int64_t before, std::int64_t& dropped) override;

private:
  // Runs a statement with text parameters; the result is empty (r null) after a failure,
  // with error() set.
  result run(const std::string& sql, const std::vector<std::string>& params);
  // The same with the answer in binary form and the last parameter, when `bytes`, as bytes.
  result run_binary(const std::string& sql, const std::vector<std::string>& params, bool bytes = false);
  result check(PGresult* r);
  bool read_version(int& version);
  bool ensure_partition(std::int64_t month);
  bool prune_hour(std::int64_t hour, std::int64_t before, std::int64_t& dropped);
  bool read_summaries(const char* table, const hist_key& key, std::int64_t from, std::int64_t to,
                      std::vector<hist_summary>& out);
  bool write_summary(const char* table, std::vector<std::string> key, const hist_summary& s);

  PGconn* db_ = nullptr;
  std::set<std::int64_t> partitions_;
};

result postgres_store::run(const std::string& sql, const std::vector<std::string>& params) {
  std::vector<const char*> values;
  for (const std::string& p : params)
    values.push_back(p.c_str());
  return check(params.empty() ? pq->PQexec(db_, sql.c_str())
                              : pq->PQexecParams(db_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                             values.data(), nullptr, nullptr, 0));
}

result postgres_store::run_binary(const std::string& sql, const std::vector<std::string>& params, bool bytes) {
  std::vector<const char*> values;
  std::vector<int> lengths, formats(params.size(), 0);
  for (const std::string& p : params) {
    values.push_back(p.data());
    lengths.push_back(static_cast<int>(p.size()));
  }
  if (bytes && !params.empty())
    formats.back() = 1;
  return check(pq->PQexecParams(db_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(), lengths.data(),
                            formats.data(), 1));
}

// The result of a statement that succeeded; an empty one with error() set otherwise.
result postgres_store::check(PGresult* r) {
  result res;
  res.r = r;
  const ExecStatusType status = pq->PQresultStatus(res.r);
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
    return res;
  error_ = pq->PQerrorMessage(db_);
  while (!error_.empty() && error_.back() == '\n')
    error_.pop_back();
  pq->PQclear(res.r);
  res.r = nullptr;
  return res;
}

// The stored schema version, 0 when the database has none.
bool postgres_store::read_version(int& version) {
  version = 0;
  result table = run("SELECT to_regclass('quillet_meta') IS NOT NULL", {});
  if (!table.r)
    return false;
  if (!table.flag(0, 0))
    return true;
  result value = run("SELECT value FROM quillet_meta WHERE key = 'schema_version'", {});
  if (!value.r)
    return false;
  if (value.rows() == 1)
    version = std::max(1, static_cast<int>(value.i64(0, 0)));
  return true;
}

// Readers open a read-only snapshot whose first read is the version check; writers make the
// tables once the version is known to be ours, so a store of another version is left as it was.
bool postgres_store::open(const std::string& uri, bool writable, std::string& error) {
  pq = load_pq_library(error);
  if (!pq) {
    error = "cannot connect to the store " + uri + ": " + error;
    return false;
  }
  db_ = pq->PQconnectdb(uri.c_str());
  if (pq->PQstatus(db_) != CONNECTION_OK) {
    error = "cannot connect to the store " + uri + ": " + pq->PQerrorMessage(db_);
    while (!error.empty() && error.back() == '\n')
      error.pop_back();
    return false;
  }
  run("SET client_min_messages = warning", {});
  if (!writable && !run("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", {}).r) {
    error = "cannot read the store " + uri + ": " + error_;
    return false;
  }
  int version = 0;
  if (!read_version(version)) {
    error = "the database " + uri + " is not a quillet history store (" + error_ + ")";
    return false;
  }
  if (version == hist_schema_version)
    return true;
  if (version > 0) {
    error = hist_version_message(uri, version);
    return false;
  }
  if (!writable) {
    error = "the database " + uri + " is not a quillet history store (it has no schema version)";
    return false;
  }
  const std::string setup = std::string("BEGIN;") + schema_sql +
                            "INSERT INTO quillet_meta VALUES('schema_version', '" + std::to_string(hist_schema_version) +
                            "') ON CONFLICT DO NOTHING;COMMIT";
  if (run(setup, {}).r)
    return true;
  run("ROLLBACK", {});
  error = "cannot set up the store " + uri + ": " + error_;
  return false;
}

bool postgres_store::samples(const hist_key& key, std::int64_t from, std::int64_t to, std::size_t limit,
                             std::vector<hist_sample>& out, bool& more) {
  hist_block_range range(from, to, limit, out, more);
  if (from >= to)
    return true;
  result r = run_binary("SELECT hour, data FROM sample_block WHERE node = $1 AND channel = $2 AND hour >= $3 AND "
                        "hour <= $4 ORDER BY hour",
                        {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(hist_hour_of_any(from)),
                         num(hist_hour_of_any(to - 1))});
  if (!r.r)
    return false;
  for (int i = 0; i < r.rows() && !range.full(); ++i)
    if (!range.add(r.bin_i64(i, 0), r.bytes(i, 1))) {
      error_ = hist_damaged_block(key, r.bin_i64(i, 0));
      return false;
    }
  return true;
}

// The block of the hour of `at` answers, or the one before it when every sample of that
// hour is later.
bool postgres_store::sample_at(const hist_key& key, std::int64_t at, std::int64_t not_before, hist_sample& out,
                               bool& found) {
  found = false;
  if (not_before > at)
    return true;
  for (int offset = 0; offset < 2 && !found; offset += 1) {
    result r = run_binary("SELECT hour, data FROM sample_block WHERE node = $1 AND channel = $2 AND hour <= $3 AND "
                          "hour >= $4 ORDER BY hour DESC LIMIT 1 OFFSET $5",
                          {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(hist_hour_of_any(at)),
                           num(hist_hour_of_any(not_before)), num(std::int64_t{offset})});
    if (!r.r)
      return false;
    if (r.rows() == 0)
      break;
    if (!hist_block_last(r.bin_i64(0, 0), r.bytes(0, 1), at, out, found)) {
      error_ = hist_damaged_block(key, r.bin_i64(0, 0));
      return false;
    }
  }
  found = found && out.t >= not_before;
  return true;
}

bool postgres_store::summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) {
  return read_summaries("hour", key, from, to, out);
}

bool postgres_store::day_summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) {
  return read_summaries("day", key, from, to, out);
}

// Reads hour_summary or day_summary, whose keys are named hour and day.
bool postgres_store::read_summaries(const char* table, const hist_key& key, std::int64_t from, std::int64_t to,
                                    std::vector<hist_summary>& out) {
  const std::string unit = table;
  result r = run_binary(std::string("SELECT ") + summary_columns + " FROM " + unit + "_summary WHERE node = $1 AND channel = $2"
                     " AND " + unit + " >= $3 AND " + unit + " < $4 ORDER BY " + unit,
                 {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(from), num(to)});
  if (!r.r)
    return false;
  hist_summary summary;
  for (int i = 0; i < r.rows(); ++i) {
    if (!hist_unpack_summary(r.bytes(i, 0), summary)) {
      error_ = hist_damaged_summary(key);
      return false;
    }
    out.push_back(summary);
  }
  return true;
}

bool postgres_store::summary_before(const hist_key& key, std::int64_t hour, hist_summary& out, bool& found) {
  result r = run_binary(std::string("SELECT ") + summary_columns +
                     " FROM hour_summary WHERE node = $1 AND channel = $2 AND hour < $3 ORDER BY hour DESC LIMIT 1",
                 {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(hour)});
  if (!r.r)
    return false;
  found = r.rows() == 1;
  if (found && !hist_unpack_summary(r.bytes(0, 0), out)) {
    error_ = hist_damaged_summary(key);
    return false;
  }
  return true;
}

bool postgres_store::events(int node, std::int64_t from, std::int64_t to, std::size_t limit,
                            std::vector<hist_event>& out, bool& more) {
  result r = run("SELECT t, channel, code, severity, text FROM event WHERE node = $1 AND t >= $2 AND t <= $3 "
                 "ORDER BY t DESC, channel, code, severity, text COLLATE \"C\" LIMIT $4",
                 {num(std::int64_t{node}), num(from), num(to), num(static_cast<std::int64_t>(limit) + 1)});
  if (!r.r)
    return false;
  more = static_cast<std::size_t>(r.rows()) > limit;
  for (int i = 0; i < r.rows() && static_cast<std::size_t>(i) < limit; ++i)
    out.push_back({node, r.i64(i, 0), static_cast<int>(r.i64(i, 1)), static_cast<int>(r.i64(i, 2)),
                   static_cast<int>(r.i64(i, 3)), pq->PQgetvalue(r.r, i, 4)});
  return true;
}

bool postgres_store::ensure_partition(std::int64_t month) {
  if (partitions_.count(month))
    return true;
  const std::string name = "sample_block_m" + std::to_string(month + 100000);
  // Packed doubles do not compress: the blocks are stored as they are, without trying.
  if (!run("CREATE TABLE IF NOT EXISTS " + name + " PARTITION OF sample_block FOR VALUES FROM (" +
               num(month_start(month) / hist_hour_ms) + ") TO (" + num(month_start(month + 1) / hist_hour_ms) + ");"
               "ALTER TABLE " + name + " ALTER COLUMN data SET STORAGE EXTERNAL", {}).r)
    return false;
  partitions_.insert(month);
  return true;
}

// An hour without samples has no block.
bool postgres_store::put_hour(const hist_key& key, std::int64_t hour, std::span<const hist_sample> samples) {
  const std::vector<std::string> where{num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(hour)};
  if (samples.empty())
    return run("DELETE FROM sample_block WHERE node = $1 AND channel = $2 AND hour = $3", where).r;
  std::vector<std::string> params = where;
  params.push_back(hist_pack_block(hour, samples));
  return ensure_partition(month_of(hour * hist_hour_ms)) &&
         run_binary("INSERT INTO sample_block VALUES($1, $2, $3, $4) "
                    "ON CONFLICT (node, channel, hour) DO UPDATE SET data = excluded.data",
                    params, true).r;
}

bool postgres_store::put_summary(const hist_key& key, const hist_summary& s) {
  return write_summary("hour", {num(std::int64_t{key.node}), num(std::int64_t{key.channel})}, s);
}

bool postgres_store::put_day_summary(const hist_key& key, std::int64_t day, const hist_summary& s) {
  return write_summary("day", {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(day)}, s);
}

// Inserts or replaces a row of hour_summary (key: node, channel) or day_summary (node,
// channel, day); the summary's columns follow the key, its packed form last.
bool postgres_store::write_summary(const char* table, std::vector<std::string> params, const hist_summary& s) {
  auto flag = [](bool b) { return std::string(b ? "t" : "f"); };
  const std::string unit = table;
  std::string sql = "INSERT INTO " + unit + "_summary VALUES(";
  for (std::size_t i = 1; i <= params.size() + 18; ++i)
    sql += (i > 1 ? ", $" : "$") + std::to_string(i);
  sql += ") ON CONFLICT (node, channel, " + unit + ") DO UPDATE SET";
  const char* columns[] = {"hour", "count", "sum", "sum2", "min", "min_t", "max", "max_t", "first_t", "first_v",
                           "first_good", "last_t", "last_v", "last_good", "weight", "integral", "integral2", "packed"};
  for (const char* c : columns)
    sql += std::string(c == columns[0] ? " " : ", ") + c + " = excluded." + c;
  for (std::string v : {num(s.hour), num(s.count), num(s.sum), num(s.sum2), num(s.min), num(s.min_t), num(s.max),
                        num(s.max_t), num(s.first.t), num(s.first.value), flag(s.first.good), num(s.last.t),
                        num(s.last.value), flag(s.last.good), num(s.weight), num(s.integral), num(s.integral2)})
    params.push_back(std::move(v));
  params.push_back(hist_pack_summary(s));
  return run_binary(sql, params, true).r;
}

bool postgres_store::put_event(const hist_event& e) {
  return run("INSERT INTO event VALUES($1, $2, $3, $4, $5, $6) ON CONFLICT DO NOTHING",
             {num(std::int64_t{e.node}), num(e.t), num(std::int64_t{e.channel}), num(std::int64_t{e.code}),
              num(std::int64_t{e.severity}), e.text}).r;
}

// Whole hours before `before` go at once; the hour it falls in keeps its samples from it on.
bool postgres_store::prune(std::int64_t before, std::int64_t& dropped) {
  const std::int64_t hour = hist_hour_of_any(before);
  result count = run("SELECT coalesce(sum(length(data)), 0) FROM sample_block WHERE hour < $1", {num(hour)});
  if (!count.r || !run("DELETE FROM sample_block WHERE hour < $1", {num(hour)}).r)
    return false;
  dropped = count.i64(0, 0) / static_cast<std::int64_t>(hist_block_sample_size);
  return prune_hour(hour, before, dropped);
}

bool postgres_store::prune_hour(std::int64_t hour, std::int64_t before, std::int64_t& dropped) {
  result r = run_binary("SELECT node, channel, data FROM sample_block WHERE hour = $1", {num(hour)});
  if (!r.r)
    return false;
  for (int i = 0; i < r.rows(); ++i) {
    const hist_key key{r.bin_i32(i, 0), r.bin_i32(i, 1)};
    std::vector<hist_sample> list;
    if (!hist_unpack_block(hour, r.bytes(i, 2), list)) {
      error_ = hist_damaged_block(key, hour);
      return false;
    }
    const auto from = std::lower_bound(list.begin(), list.end(), before,
                                       [](const hist_sample& s, std::int64_t t) { return s.t < t; });
    dropped += from - list.begin();
    if (from != list.begin() && !put_hour(key, hour, std::span(list).subspan(from - list.begin())))
      return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<hist_store> hist_open_postgres_store(const std::string& uri, bool writable, std::string& error) {
  auto store = std::make_unique<postgres_store>();
  if (!store->open(uri, writable, error))
    return nullptr;
  return store;
}

}  // namespace quillet
