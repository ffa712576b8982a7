# Virel: the Tamil keyboard manager. `make build`, `make test`, `make run`.
BUILD := build
JOBS ?= 2
CMAKE_WIN := -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build native win64 win32 test test-native test-fuzz test-wine run clean bench bench-native soak fuzz

all: build

deps:
	@bash tools/install-deps.sh

build: deps native win64 win32

native:
	cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
	cmake --build $(BUILD)/native -j$(JOBS)

win64:
	cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake $(CMAKE_WIN) >/dev/null
	cmake --build $(BUILD)/win64 -j$(JOBS)

win32:
	cmake -S . -B $(BUILD)/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake $(CMAKE_WIN) >/dev/null
	cmake --build $(BUILD)/win32 -j$(JOBS)

# Native tests first, then a short fuzzing run, then the end-to-end tests under Wine (both
# bitnesses). The installer's and the manuals' tests need what `make dist` makes.
test: build dist test-native test-fuzz test-wine

test-fuzz:
	bash tools/fuzz.sh short

# Fuzzing (tools/fuzz.sh): FUZZ_SECONDS per target, on both cores.
FUZZ_SECONDS ?= 600
fuzz: deps
	bash tools/fuzz.sh $(FUZZ_SECONDS)

test-native:
	cd $(BUILD)/native && ctest --output-on-failure -LE wine

test-wine:
	cd $(BUILD)/native && ctest --output-on-failure -L wine

run: build
	@bash tools/run.sh

# Benchmarks (engine/bench/bench.py): results in build/bench/, a table at the end.
bench: deps native bench-native win64 win32
	python3 engine/bench/bench.py --out $(BUILD)/bench
	python3 convert/bench/convert_bench.py --out $(BUILD)/bench

# The native build without sanitizers, at -O2: what the instruction counts and the converter's
# speed are taken from.
bench-native:
	cmake -S . -B $(BUILD)/bench-native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIREL_SANITIZE=OFF >/dev/null
	cmake --build $(BUILD)/bench-native -j$(JOBS) --target virel_instructions virelconv

# The long soak under Wine (engine/e2e/test_soak.py; make test runs a short one).
soak: build
	VIREL_BUILD=$(CURDIR)/$(BUILD) VIREL_SOAK_KEYS=20000 python3 engine/e2e/test_soak.py

clean:
	rm -rf $(BUILD)

# What a Windows user gets, in build/dist: the installer, the portable zip and the two manuals.
.PHONY: dist charts pictures
DEBIAN_PYTHON := /usr/bin/python3

dist: build
	$(DEBIAN_PYTHON) packaging/dist.py $(BUILD)

# The keyboard charts in docs/images (README and manuals), drawn from the engine.
charts: deps native
	$(DEBIAN_PYTHON) docs/charts.py $(BUILD)/native/virel_type docs/images

# Pictures of the settings window in docs/images, taken from Virel64 under Wine.
pictures: deps win64
	VIREL_BUILD=$(abspath $(BUILD)) python3 docs/pictures.py docs/images
