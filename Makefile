# Quillet: build, test and demo entry points.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CONFIG     ?= Release
# Release builds are profile-guided: scripts/pgo-build.sh trains an instrumented build on the
# examples first. PGO=0 builds without a profile.
PGO        ?= 1

.PHONY: all deps configure test test-asan demo bench fuzz fuzz-ci coverage clean

ifeq ($(CONFIG)$(PGO),Release1)
all:
	./scripts/pgo-build.sh $(BUILD) $(JOBS)
else
all: configure
	cmake --build $(BUILD) -j $(JOBS)
endif

deps:
	./scripts/install-deps.sh

configure:
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(CONFIG)
	@cmake -S . -B $(BUILD) -DQUILLET_PGO= > /dev/null

test: deps all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	@test -f $(ASAN_BUILD)/CMakeCache.txt || cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

demo: deps all
	mkdir -p out
	$(BUILD)/quillet report examples/hourly_shift.html --out out
	$(BUILD)/quillet report examples/trend_report.html --out out

bench:
	./scripts/install-deps.sh --bench
	$(MAKE) all
	./bench/run.sh $(BUILD)
	./bench/report_bench.sh $(BUILD)
	./bench/trend_bench.sh $(BUILD)

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
	rm -rf $(BUILD) $(ASAN_BUILD) out
