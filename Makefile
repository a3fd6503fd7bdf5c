# The README's commands. Every target first installs what is missing.
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 30
FUZZ_RUNS ?= -1
FUZZ_TARGETS ?=

.PHONY: all deps run test test-normal test-asan test-tsan bench fuzz package clean

all: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

deps:
	@scripts/install-deps

run: all
	cd build/tarmacade && ./tarmacade

test: test-normal test-asan

test-normal: all
	cd build && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTM_SANITIZE=ON -DTM_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# The game thread and the audio callback under ThreadSanitizer: only the audio tests need it.
test-tsan: deps
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTM_TSAN=ON -DTM_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-tsan -j $(JOBS) --target test_audio
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ./tests/test_audio --gtest_filter='AudioThreads.*'

# The benchmarks, then the three speed figures of a race as ratios of one run with the load
# beside them, then races over every track, car type and three seeds at 5 and 20 laps, then
# one race saved at 100 moments and each saved game continued to its end, then every writer
# killed 1,000 times mid-write.
bench: all
	@for b in build/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; "$$b" || exit 1; done
	@echo "== bench/figures.py"; python3 bench/figures.py build
	@echo "== bench/race_sweep.py"; python3 bench/race_sweep.py build/tarmacade --quiet
	@echo "== bench/save_round_trip.py"; python3 bench/save_round_trip.py build/tarmacade
	@echo "== bench/killed_writers.sh"; bench/killed_writers.sh build

fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DTM_FUZZ=ON -DTM_SANITIZE=ON -DTM_TESTS=OFF -DTM_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS)
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_RUNS=$(FUZZ_RUNS) fuzz/run_targets.sh build-fuzz $(FUZZ_TARGETS)

# The Debian package, from a build of its own so that nothing played in build/tarmacade ships,
# then checked as a distribution would: any lintian error fails.
package: deps
	cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTM_TESTS=OFF -DTM_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-package -j $(JOBS)
	cd build-package && cpack -G DEB
	lintian --fail-on error --display-info build-package/tarmacade_*_amd64.deb

clean:
	rm -rf build build-asan build-fuzz build-tsan build-package
