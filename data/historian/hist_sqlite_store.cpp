// The SQLite back end of the history store: one file, WAL mode, a row per channel and hour
// holding that hour's packed samples, summaries keyed by channel and hour without row ids. Readers hold one read transaction from
// opening to closing, so a report sees one snapshot while an import commits beside it.
#include <algorithm>
#include <cstring>

#include "data/historian/hist_backends.h"
#include "data/historian/hist_block.h"
#include "data/historian/sqlite_library.h"

namespace quillet {

namespace {

// The library, loaded by the first store opened.
const sqlite_api* sq = nullptr;

const char* const schema_sql =
    "CREATE TABLE IF NOT EXISTS quillet_meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS sample_block(node INTEGER NOT NULL, channel INTEGER NOT NULL, hour INTEGER NOT NULL,"
    " data BLOB NOT NULL, UNIQUE(node, channel, hour));"
    "CREATE TABLE IF NOT EXISTS hour_summary(node INTEGER NOT NULL, channel INTEGER NOT NULL, hour INTEGER NOT NULL,"
    " count REAL, sum REAL, sum2 REAL, min REAL, min_t INTEGER, max REAL, max_t INTEGER,"
    " first_t INTEGER, first_v REAL, first_good INTEGER, last_t INTEGER, last_v REAL, last_good INTEGER,"
    " weight REAL, integral REAL, integral2 REAL, packed BLOB NOT NULL, PRIMARY KEY(node, channel, hour)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS day_summary(node INTEGER NOT NULL, channel INTEGER NOT NULL, day INTEGER NOT NULL,"
    " hour INTEGER, count REAL, sum REAL, sum2 REAL, min REAL, min_t INTEGER, max REAL, max_t INTEGER,"
    " first_t INTEGER, first_v REAL, first_good INTEGER, last_t INTEGER, last_v REAL, last_good INTEGER,"
    " weight REAL, integral REAL, integral2 REAL, packed BLOB NOT NULL, PRIMARY KEY(node, channel, day)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS event(node INTEGER NOT NULL, t INTEGER NOT NULL, channel INTEGER NOT NULL,"
    " code INTEGER NOT NULL, severity INTEGER NOT NULL, text TEXT NOT NULL,"
    " PRIMARY KEY(node, t, channel, code, severity, text)) WITHOUT ROWID;";

// Reports read a summary whole from its packed column; the others are there for SQL.
const char* const summary_columns = "packed";

// A prepared statement, finalised with its owner.
struct statement {
  sqlite3_stmt* s = nullptr;
  ~statement() {
    if (s)
      sq->sqlite3_finalize(s);
  }
};

class sqlite_store : public hist_store {
public:
  ~sqlite_store() override;
  bool open(const std::string& path, bool writable, std::string& error);

  bool samples(const hist_key& key, std::int64_t from, std::int64_t to, std::size_t limit,
               std::vector<hist_sample>& out, bool& more) override;
  bool sample_at(const hist_key& key, std::int64_t at, std::int64_t not_before, hist_sample& out,
                 bool& found) override;
  bool summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) override;
  bool day_summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) override;
  bool summary_before(const hist_key& key, std::int64_t hour, hist_summary& out, bool& found) override;
  bool events(int node, std::int64_t from, std::int64_t to, std::size_t limit, std::vector<hist_event>& out,
              bool& more) override;
  bool begin() override { return exec("BEGIN IMMEDIATE"); }
  bool commit() override { return exec("COMMIT"); }
  void rollback() override { exec("ROLLBACK"); }
  bool put_hour(const hist_key& key, std::int64_t hour, std::span<const hist_sample> samples) override;
  bool put_summary(const hist_key& key, const hist_summary& summary) override;
  bool put_day_summary(const hist_key& key, std::int64_t day, const hist_summary& summary) override;
  bool put_event(const hist_event& event) override;
  bool prune(std::int64_t before, std::int64_t& dropped) override;

private:
  bool exec(const char* sql);
  bool fail(const char* what);
  // The statement of a text, prepared once and reset for the next use.
  sqlite3_stmt* prepare(statement& st, const char* sql);
  bool check_version(const std::string& path, bool writable, std::string& error);
  bool read_version(int& version);
  bool step_done(sqlite3_stmt* s);
  bool prune_hour(std::int64_t hour, std::int64_t before, std::int64_t& dropped);
  bool read_summaries(sqlite3_stmt* s, const hist_key& key, std::int64_t from, std::int64_t to,
                      std::vector<hist_summary>& out);

  sqlite3* db_ = nullptr;
  statement samples_, sample_at_, summaries_, day_summaries_, summary_before_, events_, put_hour_, drop_hour_,
      put_summary_, put_day_summary_, put_event_;
};

sqlite_store::~sqlite_store() {
  if (!db_)
    return;
  for (statement* st : {&samples_, &sample_at_, &summaries_, &day_summaries_, &summary_before_, &events_, &put_hour_,
                        &drop_hour_, &put_summary_, &put_day_summary_, &put_event_}) {
    sq->sqlite3_finalize(st->s);
    st->s = nullptr;
  }
  if (db_ && !sq->sqlite3_get_autocommit(db_))
    exec("ROLLBACK");
  sq->sqlite3_close(db_);
}

bool sqlite_store::fail(const char* what) {
  error_ = std::string(what) + ": " + (db_ ? sq->sqlite3_errmsg(db_) : "out of memory");
  return false;
}

bool sqlite_store::exec(const char* sql) {
  char* message = nullptr;
  if (sq->sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK)
    return true;
  error_ = message ? message : sq->sqlite3_errmsg(db_);
  sq->sqlite3_free(message);
  return false;
}

sqlite3_stmt* sqlite_store::prepare(statement& st, const char* sql) {
  if (st.s) {
    sq->sqlite3_reset(st.s);
    sq->sqlite3_clear_bindings(st.s);
    return st.s;
  }
  if (sq->sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &st.s, nullptr) != SQLITE_OK) {
    fail("cannot prepare a query");
    return nullptr;
  }
  return st.s;
}

bool sqlite_store::step_done(sqlite3_stmt* s) {
  const int rc = sq->sqlite3_step(s);
  sq->sqlite3_reset(s);
  return rc == SQLITE_DONE || fail("cannot write");
}

// Opens the file; a writer creates it and its tables once its version is known to be ours,
// a reader starts its snapshot with the version check, which is its first read.
bool sqlite_store::open(const std::string& path, bool writable, std::string& error) {
  sq = load_sqlite_library(error);
  if (!sq) {
    error = "cannot open the store " + path + ": " + error;
    return false;
  }
  const int flags = writable ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
  if (sq->sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    error = "cannot open the store " + path + ": " + (db_ ? sq->sqlite3_errmsg(db_) : "out of memory");
    return false;
  }
  sq->sqlite3_busy_timeout(db_, 10000);
  // A writer keeps 64 MB of pages and lets the log grow to 40 MB between checkpoints, which
  // spares a long import most of its page reads and writes. Each commit reaches the log
  // whole and is synced with it, so an import interrupted even by a power failure keeps every
  // batch it committed and none it was writing; with a few hundred commits a month, the
  // syncs cost nothing measurable.
  if (writable && !(exec("PRAGMA page_size=16384") && exec("PRAGMA journal_mode=WAL") &&
                    exec("PRAGMA synchronous=FULL") && exec("PRAGMA cache_size=-65536") &&
                    exec("PRAGMA wal_autocheckpoint=2500"))) {
    error = "cannot set up the store " + path + ": " + error_;
    return false;
  }
  if (!writable && !exec("BEGIN")) {
    error = "cannot read the store " + path + ": " + error_;
    return false;
  }
  return check_version(path, writable, error);
}

// The stored schema version, 0 when the file has none.
bool sqlite_store::read_version(int& version) {
  statement table, value;
  version = 0;
  const char* table_sql = "SELECT 1 FROM sqlite_master WHERE type='table' AND name='quillet_meta'";
  if (sq->sqlite3_prepare_v2(db_, table_sql, -1, &table.s, nullptr) != SQLITE_OK)
    return fail("cannot read the schema");
  const int rc = sq->sqlite3_step(table.s);
  if (rc == SQLITE_DONE)
    return true;
  if (rc != SQLITE_ROW)
    return fail("cannot read the schema");
  if (sq->sqlite3_prepare_v2(db_, "SELECT value FROM quillet_meta WHERE key='schema_version'", -1, &value.s, nullptr) !=
      SQLITE_OK)
    return fail("cannot read the schema version");
  if (sq->sqlite3_step(value.s) == SQLITE_ROW)
    version = std::max(1, sq->sqlite3_column_int(value.s, 0));
  return true;
}

// A store without a version is made (by a writer) or refused (by a reader); one of another
// version is refused either way, before anything is written to it.
bool sqlite_store::check_version(const std::string& path, bool writable, std::string& error) {
  int version = 0;
  if (!read_version(version)) {
    error = "the file " + path + " is not a quillet history store (" + error_ + ")";
    return false;
  }
  if (version == hist_schema_version)
    return true;
  if (version > 0) {
    error = hist_version_message(path, version);
    return false;
  }
  if (!writable) {
    error = "the file " + path + " is not a quillet history store (it has no schema version)";
    return false;
  }
  const std::string setup = std::string("BEGIN IMMEDIATE;") + schema_sql +
                            "INSERT OR REPLACE INTO quillet_meta VALUES('schema_version','" +
                            std::to_string(hist_schema_version) + "');COMMIT";
  if (exec(setup.c_str()))
    return true;
  exec("ROLLBACK");
  error = "cannot set up the store " + path + ": " + error_;
  return false;
}

void bind_key(sqlite3_stmt* s, const hist_key& key) {
  sq->sqlite3_bind_int(s, 1, key.node);
  sq->sqlite3_bind_int(s, 2, key.channel);
}

std::string_view blob(sqlite3_stmt* s, int col) {
  const void* data = sq->sqlite3_column_blob(s, col);
  return {static_cast<const char*>(data), static_cast<std::size_t>(sq->sqlite3_column_bytes(s, col))};
}

bool sqlite_store::samples(const hist_key& key, std::int64_t from, std::int64_t to, std::size_t limit,
                           std::vector<hist_sample>& out, bool& more) {
  hist_block_range range(from, to, limit, out, more);
  if (from >= to)
    return true;
  sqlite3_stmt* s = prepare(samples_, "SELECT hour, data FROM sample_block WHERE node=?1 AND channel=?2 AND hour>=?3 "
                                      "AND hour<=?4 ORDER BY hour");
  if (!s)
    return false;
  bind_key(s, key);
  sq->sqlite3_bind_int64(s, 3, hist_hour_of_any(from));
  sq->sqlite3_bind_int64(s, 4, hist_hour_of_any(to - 1));
  int rc;
  while (!range.full() && (rc = sq->sqlite3_step(s)) == SQLITE_ROW) {
    const std::int64_t hour = sq->sqlite3_column_int64(s, 0);
    if (!range.add(hour, blob(s, 1))) {
      sq->sqlite3_reset(s);
      error_ = hist_damaged_block(key, hour);
      return false;
    }
  }
  sq->sqlite3_reset(s);
  return range.full() || rc == SQLITE_DONE || fail("cannot read samples");
}

// Walks back from the hour of `at`; the first block with a sample at or before it answers.
bool sqlite_store::sample_at(const hist_key& key, std::int64_t at, std::int64_t not_before, hist_sample& out,
                             bool& found) {
  found = false;
  if (not_before > at)
    return true;
  sqlite3_stmt* s = prepare(sample_at_, "SELECT hour, data FROM sample_block WHERE node=?1 AND channel=?2 AND "
                                        "hour<=?3 AND hour>=?4 ORDER BY hour DESC");
  if (!s)
    return false;
  bind_key(s, key);
  sq->sqlite3_bind_int64(s, 3, hist_hour_of_any(at));
  sq->sqlite3_bind_int64(s, 4, hist_hour_of_any(not_before));
  int rc;
  while ((rc = sq->sqlite3_step(s)) == SQLITE_ROW) {
    const std::int64_t hour = sq->sqlite3_column_int64(s, 0);
    if (!hist_block_last(hour, blob(s, 1), at, out, found)) {
      sq->sqlite3_reset(s);
      error_ = hist_damaged_block(key, hour);
      return false;
    }
    if (found)
      break;
  }
  sq->sqlite3_reset(s);
  found = found && out.t >= not_before;
  return rc == SQLITE_ROW || rc == SQLITE_DONE || fail("cannot read a sample");
}

// The summary of a row whose first column is the packed one; false for a damaged one.
bool read_summary(sqlite3_stmt* s, hist_summary& out) {
  return hist_unpack_summary(blob(s, 0), out);
}

bool sqlite_store::summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) {
  static const std::string sql = std::string("SELECT ") + summary_columns +
                                 " FROM hour_summary WHERE node=?1 AND channel=?2 AND hour>=?3 AND hour<?4 ORDER BY hour";
  return read_summaries(prepare(summaries_, sql.c_str()), key, from, to, out);
}

bool sqlite_store::day_summaries(const hist_key& key, std::int64_t from, std::int64_t to, std::vector<hist_summary>& out) {
  static const std::string sql = std::string("SELECT ") + summary_columns +
                                 " FROM day_summary WHERE node=?1 AND channel=?2 AND day>=?3 AND day<?4 ORDER BY day";
  return read_summaries(prepare(day_summaries_, sql.c_str()), key, from, to, out);
}

bool sqlite_store::read_summaries(sqlite3_stmt* s, const hist_key& key, std::int64_t from, std::int64_t to,
                                  std::vector<hist_summary>& out) {
  if (!s)
    return false;
  bind_key(s, key);
  sq->sqlite3_bind_int64(s, 3, from);
  sq->sqlite3_bind_int64(s, 4, to);
  int rc;
  hist_summary summary;
  while ((rc = sq->sqlite3_step(s)) == SQLITE_ROW) {
    if (!read_summary(s, summary)) {
      sq->sqlite3_reset(s);
      error_ = hist_damaged_summary(key);
      return false;
    }
    out.push_back(summary);
  }
  sq->sqlite3_reset(s);
  return rc == SQLITE_DONE || fail("cannot read summaries");
}

bool sqlite_store::summary_before(const hist_key& key, std::int64_t hour, hist_summary& out, bool& found) {
  static const std::string sql = std::string("SELECT ") + summary_columns +
                                 " FROM hour_summary WHERE node=?1 AND channel=?2 AND hour<?3 ORDER BY hour DESC LIMIT 1";
  sqlite3_stmt* s = prepare(summary_before_, sql.c_str());
  if (!s)
    return false;
  bind_key(s, key);
  sq->sqlite3_bind_int64(s, 3, hour);
  const int rc = sq->sqlite3_step(s);
  found = rc == SQLITE_ROW;
  const bool whole = !found || read_summary(s, out);
  sq->sqlite3_reset(s);
  if (!whole) {
    error_ = hist_damaged_summary(key);
    return false;
  }
  return rc == SQLITE_ROW || rc == SQLITE_DONE || fail("cannot read a summary");
}

// The key's own order, read backwards, gives the events newest first with the ties of one
// time in the reverse of the order asked for; each run of one time is turned round here.
// Asked for the mixed order, SQLite sorts every run in a temporary b-tree, which it clears
// for each time: most of a long list's reading. The run that the limit cuts is read whole,
// so the events kept are those the mixed order would keep.
bool sqlite_store::events(int node, std::int64_t from, std::int64_t to, std::size_t limit,
                          std::vector<hist_event>& out, bool& more) {
  sqlite3_stmt* s = prepare(events_, "SELECT t, channel, code, severity, text FROM event WHERE node=?1 AND t>=?2 AND "
                                     "t<=?3 ORDER BY t DESC, channel DESC, code DESC, severity DESC, text DESC");
  if (!s)
    return false;
  sq->sqlite3_bind_int(s, 1, node);
  sq->sqlite3_bind_int64(s, 2, from);
  sq->sqlite3_bind_int64(s, 3, to);
  const std::size_t first = out.size();
  const std::size_t keep = std::max(limit, first);
  std::size_t run = first;  // where the run of the last time read starts
  int rc;
  while ((rc = sq->sqlite3_step(s)) == SQLITE_ROW) {
    const std::int64_t t = sq->sqlite3_column_int64(s, 0);
    if (out.size() > run && out.back().t != t) {
      std::reverse(out.begin() + static_cast<std::ptrdiff_t>(run), out.end());
      run = out.size();
      if (out.size() > keep)
        break;
    }
    const auto* text = reinterpret_cast<const char*>(sq->sqlite3_column_text(s, 4));
    out.push_back({node, t, sq->sqlite3_column_int(s, 1), sq->sqlite3_column_int(s, 2), sq->sqlite3_column_int(s, 3),
                   text ? text : ""});
  }
  sq->sqlite3_reset(s);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE)
    return fail("cannot read events");
  std::reverse(out.begin() + static_cast<std::ptrdiff_t>(run), out.end());
  more = out.size() > keep;
  if (more)
    out.resize(keep);
  return true;
}

// An hour without samples has no block.
bool sqlite_store::put_hour(const hist_key& key, std::int64_t hour, std::span<const hist_sample> samples) {
  sqlite3_stmt* s = samples.empty()
                        ? prepare(drop_hour_, "DELETE FROM sample_block WHERE node=?1 AND channel=?2 AND hour=?3")
                        : prepare(put_hour_, "INSERT OR REPLACE INTO sample_block VALUES(?1, ?2, ?3, ?4)");
  if (!s)
    return false;
  bind_key(s, key);
  sq->sqlite3_bind_int64(s, 3, hour);
  const std::string block = hist_pack_block(hour, samples);
  if (!samples.empty())
    sq->sqlite3_bind_blob(s, 4, block.data(), static_cast<int>(block.size()), SQLITE_STATIC);
  return step_done(s);
}

void bind_sample(sqlite3_stmt* s, int col, const hist_sample& x) {
  sq->sqlite3_bind_int64(s, col, x.t);
  sq->sqlite3_bind_double(s, col + 1, x.value);
  sq->sqlite3_bind_int(s, col + 2, x.good ? 1 : 0);
}

// Binds a summary's columns from `col` on, its hour first.
void bind_summary(sqlite3_stmt* s, int col, const hist_summary& r) {
  sq->sqlite3_bind_int64(s, col, r.hour);
  sq->sqlite3_bind_double(s, col + 1, r.count);
  sq->sqlite3_bind_double(s, col + 2, r.sum);
  sq->sqlite3_bind_double(s, col + 3, r.sum2);
  sq->sqlite3_bind_double(s, col + 4, r.min);
  sq->sqlite3_bind_int64(s, col + 5, r.min_t);
  sq->sqlite3_bind_double(s, col + 6, r.max);
  sq->sqlite3_bind_int64(s, col + 7, r.max_t);
  bind_sample(s, col + 8, r.first);
  bind_sample(s, col + 11, r.last);
  sq->sqlite3_bind_double(s, col + 14, r.weight);
  sq->sqlite3_bind_double(s, col + 15, r.integral);
  sq->sqlite3_bind_double(s, col + 16, r.integral2);
  const std::string packed = hist_pack_summary(r);
  sq->sqlite3_bind_blob(s, col + 17, packed.data(), static_cast<int>(packed.size()), SQLITE_TRANSIENT);
}

bool sqlite_store::put_summary(const hist_key& key, const hist_summary& r) {
  sqlite3_stmt* s = prepare(put_summary_, "INSERT OR REPLACE INTO hour_summary VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, "
                                          "?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20)");
  if (!s)
    return false;
  bind_key(s, key);
  bind_summary(s, 3, r);
  return step_done(s);
}

bool sqlite_store::put_day_summary(const hist_key& key, std::int64_t day, const hist_summary& r) {
  sqlite3_stmt* s = prepare(put_day_summary_, "INSERT OR REPLACE INTO day_summary VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, "
                                              "?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21)");
  if (!s)
    return false;
  bind_key(s, key);
  sq->sqlite3_bind_int64(s, 3, day);
  bind_summary(s, 4, r);
  return step_done(s);
}

bool sqlite_store::put_event(const hist_event& e) {
  sqlite3_stmt* s = prepare(put_event_, "INSERT OR REPLACE INTO event VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
  if (!s)
    return false;
  sq->sqlite3_bind_int(s, 1, e.node);
  sq->sqlite3_bind_int64(s, 2, e.t);
  sq->sqlite3_bind_int(s, 3, e.channel);
  sq->sqlite3_bind_int(s, 4, e.code);
  sq->sqlite3_bind_int(s, 5, e.severity);
  sq->sqlite3_bind_text(s, 6, e.text.data(), static_cast<int>(e.text.size()), SQLITE_TRANSIENT);
  return step_done(s);
}

// Whole hours before `before` go at once; the hour it falls in keeps its samples from it on.
bool sqlite_store::prune(std::int64_t before, std::int64_t& dropped) {
  const std::int64_t hour = hist_hour_of_any(before);
  statement count, drop;
  const char* count_sql = "SELECT coalesce(sum(length(data)), 0) FROM sample_block WHERE hour<?1";
  if (sq->sqlite3_prepare_v2(db_, count_sql, -1, &count.s, nullptr) != SQLITE_OK ||
      sq->sqlite3_prepare_v2(db_, "DELETE FROM sample_block WHERE hour<?1", -1, &drop.s, nullptr) != SQLITE_OK)
    return fail("cannot prune");
  sq->sqlite3_bind_int64(count.s, 1, hour);
  sq->sqlite3_bind_int64(drop.s, 1, hour);
  if (sq->sqlite3_step(count.s) != SQLITE_ROW)
    return fail("cannot prune");
  dropped = sq->sqlite3_column_int64(count.s, 0) / static_cast<std::int64_t>(hist_block_sample_size);
  return step_done(drop.s) && prune_hour(hour, before, dropped);
}

bool sqlite_store::prune_hour(std::int64_t hour, std::int64_t before, std::int64_t& dropped) {
  statement st;
  const char* hour_sql = "SELECT node, channel, data FROM sample_block WHERE hour=?1";
  if (sq->sqlite3_prepare_v2(db_, hour_sql, -1, &st.s, nullptr) != SQLITE_OK)
    return fail("cannot prune");
  sq->sqlite3_bind_int64(st.s, 1, hour);
  std::vector<std::pair<hist_key, std::vector<hist_sample>>> kept;
  int rc;
  while ((rc = sq->sqlite3_step(st.s)) == SQLITE_ROW) {
    const hist_key key{sq->sqlite3_column_int(st.s, 0), sq->sqlite3_column_int(st.s, 1)};
    std::vector<hist_sample> list;
    if (!hist_unpack_block(hour, blob(st.s, 2), list)) {
      error_ = hist_damaged_block(key, hour);
      return false;
    }
    const auto from = std::lower_bound(list.begin(), list.end(), before,
                                       [](const hist_sample& s, std::int64_t t) { return s.t < t; });
    dropped += from - list.begin();
    if (from != list.begin())
      kept.emplace_back(key, std::vector<hist_sample>(from, list.end()));
  }
  if (rc != SQLITE_DONE)
    return fail("cannot prune");
  for (const auto& [key, list] : kept)
    if (!put_hour(key, hour, list))
      return false;
  return true;
}

}  // namespace

std::unique_ptr<hist_store> hist_open_sqlite_store(const std::string& path, bool writable, std::string& error) {
  auto store = std::make_unique<sqlite_store>();
  if (!store->open(path, writable, error))
    return nullptr;
  return store;
}

}  // namespace quillet
