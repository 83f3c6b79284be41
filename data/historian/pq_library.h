// The PostgreSQL client library, loaded when a PostgreSQL store is first opened, so that runs
// over SQLite stores or the simulated source never load it and the twenty libraries it needs.
// The functions stay loaded until the process ends.
#pragma once

#include <libpq-fe.h>

#include <string>

namespace quillet {

// The client library's functions that the PostgreSQL store calls, under their own names.
struct pq_api {
  decltype(&::PQconnectdb) PQconnectdb;
  decltype(&::PQstatus) PQstatus;
  decltype(&::PQerrorMessage) PQerrorMessage;
  decltype(&::PQfinish) PQfinish;
  decltype(&::PQexec) PQexec;
  decltype(&::PQexecParams) PQexecParams;
  decltype(&::PQresultStatus) PQresultStatus;
  decltype(&::PQntuples) PQntuples;
  decltype(&::PQgetvalue) PQgetvalue;
  decltype(&::PQgetlength) PQgetlength;
  decltype(&::PQclear) PQclear;
};

// The loaded library, or null with `error` saying why it could not be loaded.
const pq_api* load_pq_library(std::string& error);

}  // namespace quillet
