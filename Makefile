# Quillet: build, test and demo entry points.
BUILD         ?= build
RELEASE_BUILD ?= build-release
ASAN_BUILD    ?= build-asan
JOBS          ?= $(shell nproc)
CONFIG        ?= Release

# `make`, `make test` and `make demo` use a plain build in BUILD. `make release` makes the
# profile-guided program in RELEASE_BUILD (scripts/pgo-build.sh: an instrumented build trained
# on the examples first, then the build that uses its profile); the benchmarks measure that one.
.PHONY: all release deps configure test test-asan demo bench fuzz fuzz-ci coverage clean

all: configure
	cmake --build $(BUILD) -j $(JOBS)

release:
	./scripts/pgo-build.sh $(RELEASE_BUILD) $(JOBS) quillet

deps:
	./scripts/install-deps.sh

configure:
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(CONFIG)
	@cmake -S . -B $(BUILD) -DQUILLET_PGO= > /dev/null

# The store tests run against SQLite and against a throw-away PostgreSQL cluster.
WITH_POSTGRES = $(CURDIR)/scripts/with-postgres.sh
test: deps all
	cd $(BUILD) && $(WITH_POSTGRES) ctest --output-on-failure -j $(JOBS)

# The browser flows drive the page; under the sanitizers the server's routes are covered by the
# editor suite, so the flows run once, in `make test`.
test-asan: deps
	@test -f $(ASAN_BUILD)/CMakeCache.txt || cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(WITH_POSTGRES) ctest --output-on-failure -j $(JOBS) -E '^browser$$'

# The demo reports read three days of plant history, generated into a store first; the
# report time lies after the boiler trip of the second evening.
DEMO_STORE ?= sqlite:out/demo_store.db
demo: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target quillet
	mkdir -p out
	rm -f out/demo_store.db out/demo_store.db-wal out/demo_store.db-shm
	$(BUILD)/quillet import --store $(DEMO_STORE) --demo-plant --from 2026-12-01T00:00 --to 2026-12-04T00:00
	$(BUILD)/quillet report examples/hourly_shift.html --out out --store $(DEMO_STORE) --time 2026-12-03T00:00
	$(BUILD)/quillet report examples/trend_report.html --out out --store $(DEMO_STORE) --time 2026-12-02T20:30

bench:
	./scripts/install-deps.sh --bench
	$(MAKE) release
	./bench/run.sh $(RELEASE_BUILD)
	./bench/report_bench.sh $(RELEASE_BUILD)
	./bench/hist_bench.sh $(RELEASE_BUILD)
	./bench/trend_bench.sh $(RELEASE_BUILD)
	./bench/report_variants/run.sh $(RELEASE_BUILD)

# libFuzzer targets (clang) in FUZZ_BUILD, each run FUZZ_SECONDS over its corpus.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	./scripts/install-deps.sh --fuzz
	@test -f $(FUZZ_BUILD)/CMakeCache.txt || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	./fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

fuzz-ci:
	$(MAKE) fuzz FUZZ_SECONDS=60

# Line and branch coverage of the tests, built in COV_BUILD.
COV_BUILD ?= build-cov
coverage:
	./scripts/install-deps.sh --coverage
	./scripts/coverage.sh $(COV_BUILD) $(JOBS)

clean:
	rm -rf $(BUILD) $(RELEASE_BUILD) $(ASAN_BUILD) out
