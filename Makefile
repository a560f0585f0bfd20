# Front door of the project: `make run` builds and starts the program,
# `make test` builds and runs every test, normally and under sanitizers.

JOBS ?= $(shell nproc 2>/dev/null || echo 2)
BUILD := build
SAN_BUILD := build-sanitize

.PHONY: all run test deps build build-sanitize fuzz memcheck bench install clean format

all: build

deps:
	@scripts/ensure-deps

$(BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_RULE_MESSAGES=ON \
		--log-level=WARNING >/dev/null

$(SAN_BUILD)/CMakeCache.txt: | deps
	@CC=clang CXX=clang++ cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug \
		-DRB_SANITIZE=ON -DRB_FUZZ=ON -DCMAKE_RULE_MESSAGES=ON --log-level=WARNING >/dev/null

# Each build says what it builds and how long a first build takes on two
# cores; its progress shows as it goes (a build with nothing to do is quick).
build: deps $(BUILD)/CMakeCache.txt
	@echo "== building $(BUILD)/ with g++: the program, its tests and the benchmark" \
		"(a first build takes about 2 minutes on two cores) =="
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory -s

build-sanitize: deps $(SAN_BUILD)/CMakeCache.txt
	@echo "== building $(SAN_BUILD)/ with clang, AddressSanitizer and UBSan, and the fuzz" \
		"targets (a first build takes about 4 minutes on two cores) =="
	@cmake --build $(SAN_BUILD) -j $(JOBS) -- --no-print-directory -s

# Builds only the program itself, not the tests and tools.
run: deps $(BUILD)/CMakeCache.txt
	@echo "== building $(BUILD)/roombuilder (a first build takes about a minute on two cores) =="
	@cmake --build $(BUILD) -j $(JOBS) --target roombuilder -- --no-print-directory -s
	@./$(BUILD)/roombuilder

test: build build-sanitize
	@echo "== tests (g++ build) =="
	@cd $(BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 300
	@echo "== tests (clang build, AddressSanitizer + UndefinedBehaviorSanitizer) =="
	@cd $(SAN_BUILD) && ctest -j $(JOBS) --output-on-failure --timeout 600

# A timed fuzzing session per target; the working corpus grows across sessions.
FUZZ_SECONDS ?= 300
fuzz: build-sanitize
	@for name in reader dialogue area_files; do \
		echo "== fuzzing $$name for $(FUZZ_SECONDS) s =="; \
		tests/fuzz/run-fuzzer $(SAN_BUILD)/tests/$${name}_fuzz $(SAN_BUILD)/fuzz/$$name \
			seconds=$(FUZZ_SECONDS) tests/fuzz/regressions/$$name tests/fuzz/corpus/$$name \
			|| exit 1; \
	done

memcheck: build
	@scripts/memcheck $(BUILD)

BENCH_ROOMS ?= 100000
BENCH_WORLD_ROOMS ?= 1000000
# BENCH_COMPARE=path/to/an/earlier/roombuilder runs the world's commands with
# both builds, side by side; BENCH_ARGS=--world-only leaves out the rest.
bench: build
	@./$(BUILD)/rb_bench ./$(BUILD)/roombuilder $(BENCH_ROOMS) $(BENCH_WORLD_ROOMS) \
		$(if $(BENCH_COMPARE),--compare=$(BENCH_COMPARE)) $(BENCH_ARGS)

PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
