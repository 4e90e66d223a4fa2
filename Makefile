# The two commands of the README: `make demo` and `make test`.
BUILD ?= build
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")

.PHONY: all deps wine32 native win wintests test test-native test-win test-wine test-dist test-fuzz dist demo bench simulate clean

all: native win wintests

deps:
	@bash scripts/deps.sh

# The private 32-bit Wine that runs the shipped program (set up once per
# machine, in a cache folder outside the clone).
wine32: deps
	@bash scripts/wine32.sh >/dev/null

native: deps
	cmake -S . -B $(BUILD)/native -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release >/dev/null
	cmake --build $(BUILD)/native

# The shipped program: 32-bit, for Windows 2000 and later.
win: deps
	cmake -S . -B $(BUILD)/win -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-i686.cmake >/dev/null
	cmake --build $(BUILD)/win

# The Windows test programs, 32-bit like the program they drive: unit tests,
# end-to-end driver, board emulator, timing probes.
wintests: deps
	cmake -S . -B $(BUILD)/wintests -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-i686-tests.cmake >/dev/null
	cmake --build $(BUILD)/wintests

# The seeded simulation of the whole program: a short campaign from a fresh
# seed in every test run (the seed is printed; a violation replays with
# z4_simulate --seed N), and a long one on its own.
SIM_SECONDS ?= 600
test-native: native
	python3 scripts/check-layers.py
	python3 scripts/check-library-loads.py
	ctest --test-dir $(BUILD)/native --output-on-failure -j2
	$(BUILD)/native/z4_simulate --seed $$(date +%s) --seconds 30
	bash scripts/plant-faults.sh --check

simulate: native
	$(BUILD)/native/z4_simulate --seed $$(date +%s) --seconds $(SIM_SECONDS)

# The fuzz targets, built with clang from the build's own lists of sources,
# each run for a few seconds: enough to keep them building and running.
test-fuzz: deps
	bash scripts/fuzz.sh 3

# What can be checked of the shipped program without running it.
test-win: win native
	bash scripts/check-shipped.sh $(BUILD)

test-wine: win wintests native wine32
	bash scripts/wine-tests.sh $(BUILD)

# The release: $(BUILD)/dist/Z4Utility-<version>.zip, Z4Utility-<version>.msi and
# Z4Utility-<version>-en.msi, each with its .sha256. Signed when a certificate is
# given: SIGN_PKCS12=FILE, or SIGN_CERT=FILE SIGN_KEY=FILE (PEM); with
# SIGN_PASSWORD_FILE=FILE and SIGN_TIMESTAMP_URL=URL where needed.
SIGN_OPTIONS = $(if $(SIGN_PKCS12),--pkcs12 "$(SIGN_PKCS12)") \
  $(if $(SIGN_CERT),--cert "$(SIGN_CERT)") $(if $(SIGN_KEY),--key "$(SIGN_KEY)") \
  $(if $(SIGN_PASSWORD_FILE),--password-file "$(SIGN_PASSWORD_FILE)") \
  $(if $(SIGN_TIMESTAMP_URL),--timestamp-url "$(SIGN_TIMESTAMP_URL)")
dist: win
	python3 scripts/make-dist.py $(BUILD) $(SIGN_OPTIONS)

# Its contents checked against what was built.
test-dist: dist
	python3 -m unittest discover -s tests/scripts
	python3 scripts/check-dist.py $(BUILD)

# Every test, then one line with the wall time and the disk left under the
# build folder, so that growth shows in every log.
test:
	@start=$$(date +%s); status=0; \
	$(MAKE) --no-print-directory test-native test-fuzz test-win test-dist test-wine || status=$$?; \
	took=$$(( $$(date +%s) - start )); \
	echo "make test: $$((took / 60)) min $$((took % 60)) s; left under $(BUILD)/: $$(du -sh $(BUILD) | cut -f1) ($(BUILD)/wine: $$(du -sh $(BUILD)/wine 2>/dev/null | cut -f1))"; \
	exit $$status

demo: win wintests native wine32
	bash scripts/demo.sh $(BUILD)

# The start-up benchmark's yardstick is built like the shipped program.
bench: win wintests native wine32
	cmake --build $(BUILD)/win --target minimal_dialog
	bash bench/startup_time.sh $(BUILD)
	bash bench/settings_round_trip.sh $(BUILD)
	bash bench/viewers.sh $(BUILD)

clean:
	rm -rf $(BUILD)
