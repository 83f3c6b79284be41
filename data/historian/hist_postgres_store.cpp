// The PostgreSQL back end of the history store: the same tables as the SQLite file, with the
// samples partitioned by month of their time (each partition made when a sample first needs
// it) under a B-tree key of channel and time. Readers hold one repeatable-read transaction,
// so a report sees one snapshot while an import commits beside it. Numbers travel as text:
// doubles are written with 17 digits and read back exactly.
#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "data/historian/hist_backends.h"
#include "data/historian/hist_time.h"

namespace quillet {

namespace {

const char* const schema_sql =
    "CREATE TABLE IF NOT EXISTS quillet_meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS sample(node INTEGER NOT NULL, channel INTEGER NOT NULL, t BIGINT NOT NULL,"
    " value DOUBLE PRECISION NOT NULL, good BOOLEAN NOT NULL, PRIMARY KEY(node, channel, t)) PARTITION BY RANGE (t);"
    "CREATE TABLE IF NOT EXISTS hour_summary(node INTEGER NOT NULL, channel INTEGER NOT NULL, hour BIGINT NOT NULL,"
    " count DOUBLE PRECISION, sum DOUBLE PRECISION, sum2 DOUBLE PRECISION, min DOUBLE PRECISION, min_t BIGINT,"
    " max DOUBLE PRECISION, max_t BIGINT, first_t BIGINT, first_v DOUBLE PRECISION, first_good BOOLEAN,"
    " last_t BIGINT, last_v DOUBLE PRECISION, last_good BOOLEAN, weight DOUBLE PRECISION, integral DOUBLE PRECISION,"
    " integral2 DOUBLE PRECISION, PRIMARY KEY(node, channel, hour));"
    "CREATE TABLE IF NOT EXISTS event(node INTEGER NOT NULL, t BIGINT NOT NULL, channel INTEGER NOT NULL,"
    " code INTEGER NOT NULL, severity INTEGER NOT NULL, text TEXT NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS event_key ON event(node, t, channel, code, severity, md5(text));";

const char* const summary_columns =
    "hour, count, sum, sum2, min, min_t, max, max_t, first_t, first_v, first_good, last_t, last_v, last_good,"
    " weight, integral, integral2";

// A result, cleared with its owner.
struct result {
  PGresult* r = nullptr;
  result() = default;
  result(result&& other) noexcept : r(other.r) { other.r = nullptr; }
  result(const result&) = delete;
  result& operator=(const result&) = delete;
  ~result() { PQclear(r); }
  int rows() const { return PQntuples(r); }
  std::int64_t i64(int row, int col) const { return std::strtoll(PQgetvalue(r, row, col), nullptr, 10); }
  double f64(int row, int col) const { return std::strtod(PQgetvalue(r, row, col), nullptr); }
  bool flag(int row, int col) const { return PQgetvalue(r, row, col)[0] == 't'; }
  hist_sample sample(int row, int col) const { return {i64(row, col), f64(row, col + 1), flag(row, col + 2)}; }
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
  ~postgres_store() override { PQfinish(db_); }
  bool open(const std::string& uri, bool writable, std::string& error);

  bool samples(const hist_key& key, std::int64_t from, std::int64_t to, std::size_t limit,
               std::vector<hist_sample>& out, bool& more) override;
  bool sample_at(const hist_key& key, std::int64_t at, std::int64_t not_before, hist_sample& out,
                 bool& found) override;
  bool summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) override;
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
  bool put_samples(const hist_key& key, std::span<const hist_sample> samples) override;
  bool put_summary(const hist_key& key, const hist_summary& summary) override;
  bool put_event(const hist_event& event) override;
  bool prune(std::int64_t before, std::int64_t& dropped) override;

private:
  // Runs a statement with text parameters; the result is empty (r null) after a failure,
  // with error() set.
  result run(const std::string& sql, const std::vector<std::string>& params);
  bool ensure_partition(std::int64_t month);
  hist_summary read_summary(const result& r, int row) const;

  PGconn* db_ = nullptr;
  std::set<std::int64_t> partitions_;
};

result postgres_store::run(const std::string& sql, const std::vector<std::string>& params) {
  std::vector<const char*> values;
  for (const std::string& p : params)
    values.push_back(p.c_str());
  result res;
  res.r = params.empty() ? PQexec(db_, sql.c_str())
                         : PQexecParams(db_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                                        nullptr, nullptr, 0);
  const ExecStatusType status = PQresultStatus(res.r);
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
    return res;
  error_ = PQerrorMessage(db_);
  while (!error_.empty() && error_.back() == '\n')
    error_.pop_back();
  PQclear(res.r);
  res.r = nullptr;
  return res;
}

// Writers make the tables; readers open a read-only snapshot whose first read is the
// version check.
bool postgres_store::open(const std::string& uri, bool writable, std::string& error) {
  db_ = PQconnectdb(uri.c_str());
  if (PQstatus(db_) != CONNECTION_OK) {
    error = "cannot connect to the store " + uri + ": " + PQerrorMessage(db_);
    while (!error.empty() && error.back() == '\n')
      error.pop_back();
    return false;
  }
  run("SET client_min_messages = warning", {});
  const char* setup = writable ? schema_sql : "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
  if (!run(setup, {}).r) {
    error = "cannot set up the store " + uri + ": " + error_;
    return false;
  }
  result version = run("SELECT value FROM quillet_meta WHERE key = 'schema_version'", {});
  if (!version.r) {
    error = "the database " + uri + " is not a quillet history store (" + error_ + ")";
    return false;
  }
  if (version.rows() == 1) {
    const int v = static_cast<int>(version.i64(0, 0));
    if (v <= hist_schema_version)
      return true;
    error = hist_version_message(uri, v);
    return false;
  }
  if (!writable || !run("INSERT INTO quillet_meta VALUES('schema_version', $1) ON CONFLICT DO NOTHING",
                        {num(static_cast<std::int64_t>(hist_schema_version))}).r) {
    error = "the database " + uri + " is not a quillet history store (it has no schema version)";
    return false;
  }
  return true;
}

bool postgres_store::samples(const hist_key& key, std::int64_t from, std::int64_t to, std::size_t limit,
                             std::vector<hist_sample>& out, bool& more) {
  result r = run("SELECT t, value, good FROM sample WHERE node = $1 AND channel = $2 AND t >= $3 AND t < $4 "
                 "ORDER BY t LIMIT $5",
                 {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(from), num(to),
                  num(static_cast<std::int64_t>(limit) + 1)});
  if (!r.r)
    return false;
  more = static_cast<std::size_t>(r.rows()) > limit;
  for (int i = 0; i < r.rows() && static_cast<std::size_t>(i) < limit; ++i)
    out.push_back(r.sample(i, 0));
  return true;
}

bool postgres_store::sample_at(const hist_key& key, std::int64_t at, std::int64_t not_before, hist_sample& out,
                               bool& found) {
  result r = run("SELECT t, value, good FROM sample WHERE node = $1 AND channel = $2 AND t <= $3 AND t >= $4 "
                 "ORDER BY t DESC LIMIT 1",
                 {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(at), num(not_before)});
  if (!r.r)
    return false;
  found = r.rows() == 1;
  if (found)
    out = r.sample(0, 0);
  return true;
}

hist_summary postgres_store::read_summary(const result& r, int row) const {
  hist_summary s;
  s.hour = r.i64(row, 0);
  s.count = r.f64(row, 1);
  s.sum = r.f64(row, 2);
  s.sum2 = r.f64(row, 3);
  s.min = r.f64(row, 4);
  s.min_t = r.i64(row, 5);
  s.max = r.f64(row, 6);
  s.max_t = r.i64(row, 7);
  s.first = r.sample(row, 8);
  s.last = r.sample(row, 11);
  s.weight = r.f64(row, 14);
  s.integral = r.f64(row, 15);
  s.integral2 = r.f64(row, 16);
  return s;
}

bool postgres_store::summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) {
  result r = run(std::string("SELECT ") + summary_columns +
                     " FROM hour_summary WHERE node = $1 AND channel = $2 AND hour >= $3 AND hour < $4 ORDER BY hour",
                 {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(from), num(to)});
  if (!r.r)
    return false;
  for (int i = 0; i < r.rows(); ++i)
    out.push_back(read_summary(r, i));
  return true;
}

bool postgres_store::summary_before(const hist_key& key, std::int64_t hour, hist_summary& out, bool& found) {
  result r = run(std::string("SELECT ") + summary_columns +
                     " FROM hour_summary WHERE node = $1 AND channel = $2 AND hour < $3 ORDER BY hour DESC LIMIT 1",
                 {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(hour)});
  if (!r.r)
    return false;
  found = r.rows() == 1;
  if (found)
    out = read_summary(r, 0);
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
                   static_cast<int>(r.i64(i, 3)), PQgetvalue(r.r, i, 4)});
  return true;
}

bool postgres_store::ensure_partition(std::int64_t month) {
  if (partitions_.count(month))
    return true;
  const std::string name = "sample_m" + std::to_string(month + 100000);
  if (!run("CREATE TABLE IF NOT EXISTS " + name + " PARTITION OF sample FOR VALUES FROM (" + num(month_start(month)) +
               ") TO (" + num(month_start(month + 1)) + ")", {}).r)
    return false;
  partitions_.insert(month);
  return true;
}

// One statement per channel and month: the samples as arrays, unnested on the server.
bool postgres_store::put_samples(const hist_key& key, std::span<const hist_sample> samples) {
  std::size_t i = 0;
  while (i < samples.size()) {
    const std::int64_t month = month_of(samples[i].t);
    std::string times = "{", values = "{", goods = "{";
    for (; i < samples.size() && month_of(samples[i].t) == month; ++i) {
      const char* sep = times.size() > 1 ? "," : "";
      times += sep + num(samples[i].t);
      values += sep + num(samples[i].value);
      goods += std::string(sep) + (samples[i].good ? "t" : "f");
    }
    if (!ensure_partition(month) ||
        !run("INSERT INTO sample SELECT $1, $2, unnest($3::bigint[]), unnest($4::float8[]), unnest($5::boolean[]) "
             "ON CONFLICT (node, channel, t) DO UPDATE SET value = excluded.value, good = excluded.good",
             {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), times + "}", values + "}", goods + "}"}).r)
      return false;
  }
  return true;
}

bool postgres_store::put_summary(const hist_key& key, const hist_summary& s) {
  auto flag = [](bool b) { return std::string(b ? "t" : "f"); };
  return run("INSERT INTO hour_summary VALUES($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, "
             "$17, $18, $19) ON CONFLICT (node, channel, hour) DO UPDATE SET count = excluded.count, sum = excluded.sum,"
             " sum2 = excluded.sum2, min = excluded.min, min_t = excluded.min_t, max = excluded.max, max_t = excluded.max_t,"
             " first_t = excluded.first_t, first_v = excluded.first_v, first_good = excluded.first_good,"
             " last_t = excluded.last_t, last_v = excluded.last_v, last_good = excluded.last_good,"
             " weight = excluded.weight, integral = excluded.integral, integral2 = excluded.integral2",
             {num(std::int64_t{key.node}), num(std::int64_t{key.channel}), num(s.hour), num(s.count), num(s.sum),
              num(s.sum2), num(s.min), num(s.min_t), num(s.max), num(s.max_t), num(s.first.t), num(s.first.value),
              flag(s.first.good), num(s.last.t), num(s.last.value), flag(s.last.good), num(s.weight), num(s.integral),
              num(s.integral2)}).r;
}

bool postgres_store::put_event(const hist_event& e) {
  return run("INSERT INTO event VALUES($1, $2, $3, $4, $5, $6) ON CONFLICT DO NOTHING",
             {num(std::int64_t{e.node}), num(e.t), num(std::int64_t{e.channel}), num(std::int64_t{e.code}),
              num(std::int64_t{e.severity}), e.text}).r;
}

bool postgres_store::prune(std::int64_t before, std::int64_t& dropped) {
  result r = run("DELETE FROM sample WHERE t < $1", {num(before)});
  if (!r.r)
    return false;
  dropped = std::strtoll(PQcmdTuples(r.r), nullptr, 10);
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
