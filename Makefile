# Quick start: `make run` opens the viewer, `make test` runs every test headless.
# Both install whatever system package is missing first (Debian, apt-get).

PRESET ?= dev
JOBS ?= $(shell nproc)
BUILD_DIR := build/$(PRESET)

# Everything the build, the tests and the developer targets need from Debian.
PACKAGES := build-essential cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev \
            qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n fonts-ipafont-gothic fonts-ipafont-mincho \
            libqt6sql6-sqlite libarchive-dev libsqlite3-dev
# What checks the installed files and the Debian package (dpkg-shlibdeps is in dpkg-dev).
PACKAGE_PACKAGES := dpkg-dev desktop-file-utils appstream
FORMAT_PACKAGES := clang-format git
BENCH_PACKAGES := libbenchmark-dev hyperfine
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev libfuzzer-14-dev

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: run test build deps bench fuzz format check-format clean package check-package screenshots

run: build
	$(BUILD_DIR)/src/app/rusena

test: build
	ctest --preset $(PRESET) -j $(JOBS)

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET) -j $(JOBS)

# Installs only what is missing; says nothing when all is present.
define install_missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

bench:
	$(call install_missing,$(PACKAGES) $(BENCH_PACKAGES))
	cmake --preset release -DRUSENA_BENCH=ON
	cmake --build --preset release -j $(JOBS)
	bash bench/run.sh build/release

# The .deb lands in build/package: rusena_<version>_<arch>.deb.
package:
	$(call install_missing,$(PACKAGES) $(PACKAGE_PACKAGES))
	cmake --preset package
	cmake --build --preset package -j $(JOBS)
	cd build/package && cpack

# Installs into a temporary prefix and checks the files a desktop needs, then the package.
check-package: package
	bash .ci/check-package build/package

# The windows with a real race, into docs/ (shown by the README).
screenshots: build
	$(BUILD_DIR)/tools/screenshots/screenshots docs

# FUZZ_TARGET=fuzz_day feeds stored days to the viewer's core; FUZZ_TARGET=fuzz_archive
# imports LZH archives into the library.
FUZZ_SECONDS ?= 300
FUZZ_TARGET ?= fuzz_day
FUZZ_SEEDS_fuzz_day := fuzz/seeds
FUZZ_SEEDS_fuzz_archive := fuzz/seeds-archive
FUZZ_CORPUS_fuzz_day := build/fuzz/corpus
FUZZ_CORPUS_fuzz_archive := build/fuzz/corpus-archive
fuzz:
	$(call install_missing,$(PACKAGES) $(FUZZ_PACKAGES))
	CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DRUSENA_FUZZ=ON -DRUSENA_GUI=OFF
	cmake --build build/fuzz --target $(FUZZ_TARGET) -j $(JOBS)
	mkdir -p $(FUZZ_CORPUS_$(FUZZ_TARGET))
	build/fuzz/fuzz/$(FUZZ_TARGET) -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -timeout=10 \
	  -rss_limit_mb=4096 $(FUZZ_CORPUS_$(FUZZ_TARGET)) $(FUZZ_SEEDS_$(FUZZ_TARGET))

SOURCES_TO_FORMAT = git ls-files '*.cpp' '*.h'
format:
	$(call install_missing,$(FORMAT_PACKAGES))
	$(SOURCES_TO_FORMAT) | xargs clang-format -i

# Fails, naming the files, when a source does not follow .clang-format.
check-format:
	$(call install_missing,$(FORMAT_PACKAGES))
	@bad=$$($(SOURCES_TO_FORMAT) | while read -r f; do \
	  clang-format --dry-run -Werror "$$f" >/dev/null 2>&1 || echo "$$f"; done); \
	if [ -n "$$bad" ]; then echo "Not formatted (make format):"; echo "$$bad"; exit 1; fi

clean:
	rm -rf build
