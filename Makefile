# The two commands: `make run` starts Marlo, `make test` runs every test.
# Both install what is missing and build with CMake into build/.
#   make test ASAN=1   AddressSanitizer + UBSan build in build-asan/
#   make test TSAN=1   ThreadSanitizer build in build-tsan/
#   make bench         benchmarks, built like everything else
#   make package       the Debian package build/marlo_<version>_<arch>.deb
#   make fuzz          libFuzzer on the persistence readers and the framing of received
#                      text, FUZZ_SECONDS (60) each

MAKEFLAGS += --no-print-directory
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

ifdef ASAN
BUILD_DIR ?= build-asan
override CMAKE_FLAGS += -DASAN=ON
else ifdef TSAN
BUILD_DIR ?= build-tsan
override CMAKE_FLAGS += -DTSAN=ON
else
BUILD_DIR ?= build
endif

.PHONY: all run test bench package fuzz deps build clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@$(BUILD_DIR)/marlo

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

package: build
	@cd $(BUILD_DIR) && cpack -G DEB

bench: build
	@$(BUILD_DIR)/bench_record_parser
	@$(BUILD_DIR)/bench_statistics
	@$(BUILD_DIR)/bench_batch_file
	@$(BUILD_DIR)/bench_chart
	@$(BUILD_DIR)/bench_receive
	@$(BUILD_DIR)/bench_report
	@$(BUILD_DIR)/bench_window_scale

# clang build in build-fuzz/; each fuzzer runs FUZZ_SECONDS, grows its own
# copy of its seed corpus there and leaves what it fails on in
# build-fuzz/artifacts/.
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps fuzz
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DFUZZ=ON -DMARLO_BENCHMARKS=OFF > /dev/null
	@cmake --build build-fuzz --target persistence_fuzzer framer_fuzzer -j$(JOBS)
	@mkdir -p build-fuzz/corpus build-fuzz/framer_corpus build-fuzz/artifacts
	@cp tests/fuzz/corpus/* build-fuzz/corpus/ && cp tests/fuzz/framer_corpus/* build-fuzz/framer_corpus/
	@build-fuzz/persistence_fuzzer -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=4096 -timeout=10 \
		-dict=tests/fuzz/persistence.dict -artifact_prefix=build-fuzz/artifacts/ \
		-print_final_stats=1 build-fuzz/corpus
	@build-fuzz/framer_fuzzer -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=4096 -timeout=10 \
		-artifact_prefix=build-fuzz/artifacts/framer- -print_final_stats=1 build-fuzz/framer_corpus

clean:
	rm -rf build build-asan build-tsan build-fuzz
