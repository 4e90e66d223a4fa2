# The two commands of the README: `make demo` and `make test`.
BUILD ?= build
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

.PHONY: all deps native win test test-native test-wine demo bench clean

all: native win

deps:
	@bash scripts/deps.sh

native: deps
	cmake -S . -B $(BUILD)/native -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/native

win: deps
	cmake -S . -B $(BUILD)/win -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64.cmake >/dev/null
	cmake --build $(BUILD)/win

test-native: native
	ctest --test-dir $(BUILD)/native --output-on-failure -j2

test-wine: win native
	bash scripts/wine-tests.sh $(BUILD)

test: test-native test-wine

demo: win native
	bash scripts/demo.sh $(BUILD)

bench: win native
	bash bench/startup_time.sh $(BUILD)
	bash bench/settings_round_trip.sh $(BUILD)

clean:
	rm -rf $(BUILD)
