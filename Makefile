# The two commands of the README: `make demo` and `make test`.
BUILD ?= build
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

.PHONY: all deps native win win64 test test-native test-win test-wine test-dist dist demo bench clean

all: native win win64

deps:
	@bash scripts/deps.sh

native: deps
	cmake -S . -B $(BUILD)/native -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/native

# The shipped program: 32-bit, for Windows 2000 and later.
win: deps
	cmake -S . -B $(BUILD)/win -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-i686.cmake >/dev/null
	cmake --build $(BUILD)/win

# Its 64-bit twin with the Windows test programs and the emulator: these
# machines run only 64-bit Windows programs.
win64: deps
	cmake -S . -B $(BUILD)/win64 -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake >/dev/null
	cmake --build $(BUILD)/win64

test-native: native
	python3 scripts/check-layers.py
	ctest --test-dir $(BUILD)/native --output-on-failure -j2

# What can be checked of the shipped program without running it.
test-win: win native
	bash scripts/check-shipped.sh $(BUILD)

test-wine: win64 native
	bash scripts/wine-tests.sh $(BUILD)

# The release archive: $(BUILD)/dist/Z4Utility-<version>.zip and its .sha256.
dist: win
	python3 scripts/make-dist.py $(BUILD)

# Its contents checked against what was built.
test-dist: dist
	python3 -m unittest discover -s tests/scripts
	python3 scripts/check-dist.py $(BUILD)

test: test-native test-win test-dist test-wine

demo: win64 native
	bash scripts/demo.sh $(BUILD)

bench: win64 native
	bash bench/startup_time.sh $(BUILD)
	bash bench/settings_round_trip.sh $(BUILD)
	bash bench/viewers.sh $(BUILD)

clean:
	rm -rf $(BUILD)
