# Sarvel: the two commands of the README, and a few more for developers.
#   make run      build and start the native saver full screen on the current display
#   make run-wine the same with Sarvel.scr under Wine
#   make install  the native saver, its screen-saver hack description and a
#                 desktop entry under PREFIX (default /usr/local)
#   make test     install what is missing, check that every program the tests
#                 run is there (tools/programs.txt) and that the C++ sources
#                 are formatted (.clang-format), build every preset, run the
#                 whole suite
#   make dist     the packages into dist/: an MSI for each Windows build, a zip
#                 of both .scr files, and a Debian package
#   make bench    the Google Benchmarks (release build), the presentation
#                 benchmarks (X11 and, under Wine, Win32) and the CPU shares
#                 of the full-screen saver, native and under Wine
#   make soak     the endurance runs of the scene: 72 hours of its rules, then
#                 7 days of frames with real pictures (release build)
#   make fuzz     every fuzz target for FUZZ_SECONDS each (clang, fuzz preset)
SHELL := /bin/bash
JOBS ?= $(shell nproc)
PRESETS := debug release win64 win32 fuzz
FUZZ_SECONDS ?= 300
CPU_RUNS ?= 1
PREFIX ?= /usr/local
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# tools/programs.txt names every program and file that the build, the tests
# and tools/ need from the system, with its Debian package: deps installs
# those packages, test checks them before it builds.
DEB_PACKAGES := $(shell bash tools/check-programs.sh --packages)

.PHONY: run run-wine install test deps build dist bench soak fuzz clean env $(addprefix build-,$(PRESETS))

deps:
	@missing=$$(for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  dpkg --print-foreign-architectures | grep -q i386 || $(SUDO) dpkg --add-architecture i386; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

$(addprefix build-,$(PRESETS)): build-%:
	cmake --preset $* >/dev/null
	cmake --build --preset $* -j $(JOBS)

build: $(addprefix build-,$(PRESETS))

env:
	@bash tools/test-env.sh

test: deps
	@bash tools/check-programs.sh
	@bash tools/check-format.sh
	$(MAKE) --no-print-directory build
	@bash tools/test-env.sh
	@DISPLAY=$${SARVEL_TEST_DISPLAY:-:99} bash tools/run-tests.sh $(PRESETS)

run: deps build-release
	@build/release/frontends/linux/sarvel /S

run-wine: deps build-win64
	@bash tools/run-saver.sh

install: build-release
	cmake --install build/release --prefix $(PREFIX)

dist: deps build-release build-win64 build-win32
	@bash tools/dist/make-dist.sh

# The presentation benchmarks and the CPU shares run on screens of 1920 x
# 1080 of their own (tools/with-screen.sh); CPU_RUNS runs of each share.
bench: deps build-release build-win64
	build/release/bench/sarvel_bench --benchmark_min_time=0.2
	bash tools/with-screen.sh 1920x1080 build/release/bench/sarvel_present_bench \
	  --benchmark_min_time=0.5 --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
	@bash tools/test-env.sh >/dev/null
	bash tools/with-screen.sh 1920x1080 bash tools/wine-run.sh build/win64/bench/sarvel_present_bench_win32.exe 5
	@echo "CPU shares at 1920x1080, default settings, $(CPU_RUNS) run(s) of 20 s after a 4 s start:"
	@bash tools/measure-cpu.sh --runs $(CPU_RUNS) native | tail -1
	@bash tools/measure-cpu.sh --runs $(CPU_RUNS) wayland | tail -1
	@bash tools/measure-cpu.sh --runs $(CPU_RUNS) wine | tail -1

soak: deps build-release
	SARVEL_ENDURANCE_HOURS=72 build/release/tests/app/scene/endurance_tests
	@SARVEL_WEEK_DAYS=7 build/release/tests/reliability/week_endurance_tests --gtest_filter='*RestartsOn*' & on=$$!; \
	SARVEL_WEEK_DAYS=7 build/release/tests/reliability/week_endurance_tests --gtest_filter='*RestartsOff*'; off=$$?; \
	wait $$on && [ $$off = 0 ]

fuzz: deps build-fuzz
	bash tools/run-fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
