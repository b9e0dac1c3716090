# Quick start: `make run` opens the viewer, `make test` runs every test headless.
# Both install whatever system package is missing first (Debian, apt-get).

PRESET ?= dev
JOBS ?= $(shell nproc)
BUILD_DIR := build/$(PRESET)

# Everything the build, the tests and the developer targets need from Debian.
PACKAGES := build-essential cmake ninja-build pkg-config qt6-base-dev \
            fonts-ipafont-gothic fonts-ipafont-mincho
BENCH_PACKAGES := libbenchmark-dev hyperfine
FUZZ_PACKAGES := clang-14 libclang-rt-14-dev libfuzzer-14-dev

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: run test build deps bench fuzz format clean

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

FUZZ_SECONDS ?= 300
fuzz:
	$(call install_missing,$(PACKAGES) $(FUZZ_PACKAGES))
	CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DRUSENA_FUZZ=ON -DRUSENA_GUI=OFF
	cmake --build build/fuzz --target fuzz_day -j $(JOBS)
	mkdir -p build/fuzz/corpus
	build/fuzz/fuzz/fuzz_day -max_total_time=$(FUZZ_SECONDS) -max_len=65536 -timeout=10 \
	  -rss_limit_mb=4096 build/fuzz/corpus fuzz/seeds

format:
	find src tests tools bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
