# The two commands: `make run` starts Marlo, `make test` runs every test.
# Both install what is missing and build with CMake into build/.
#   make test ASAN=1   AddressSanitizer + UBSan build in build-asan/
#   make test TSAN=1   ThreadSanitizer build in build-tsan/
#   make bench         benchmarks, built like everything else

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

.PHONY: all run test bench deps build clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	@echo "Marlo's window arrives with a later release; this build holds the core libraries, tests and benchmarks (make test, make bench)."

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j$(JOBS)

bench: build
	@$(BUILD_DIR)/bench_record_parser
	@$(BUILD_DIR)/bench_statistics

clean:
	rm -rf build build-asan build-tsan
