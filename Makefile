# The user's commands. Each one installs what a fresh machine lacks, then does its work.
.PHONY: all deps test sim windows msi sign run pictures bench asan tsan fuzz clean

JOBS ?= $(shell nproc)
# Seconds each fuzz target runs: `make fuzz` runs them a while, `make test` briefly.
FUZZ_SECONDS ?= 60
TEST_FUZZ_SECONDS ?= 10
SHELL := /bin/bash

all: test

deps:
	@tools/install-deps.sh

sim: deps
	cmake --preset sim >/dev/null
	cmake --build --preset sim -j $(JOBS)

windows: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows -j $(JOBS)

# lumiset.msi, the Windows Installer package of Lumiset.exe and lumisetctl.exe (the windows
# preset builds it with them).
msi: windows
	@echo "build/windows/lumiset.msi"

# Signed copies of Lumiset.exe, lumisetctl.exe and lumiset.msi in build/windows/signed/, e.g.
# make sign SIGN_CERT=cert.pem SIGN_KEY=key.pem [SIGN_TIMESTAMP_URL=URL] (docs/signing.md).
# The certificate and key are checked before the build.
SIGN_ENV = SIGN_CERT='$(SIGN_CERT)' SIGN_KEY='$(SIGN_KEY)' SIGN_TIMESTAMP_URL='$(SIGN_TIMESTAMP_URL)'
sign: deps
	@$(SIGN_ENV) tools/sign-release.sh --check
	@$(MAKE) --no-print-directory windows
	@$(SIGN_ENV) tools/sign-release.sh build/windows build/windows/signed

# Every suite on the plain build, then again under the sanitizers, then each fuzz target briefly.
test: sim windows
	ctest --preset sim -j $(JOBS)
	@$(MAKE) --no-print-directory asan
	@$(MAKE) --no-print-directory tsan
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(TEST_FUZZ_SECONDS)

# Lumiset on the simulated desktop; extra options go in ARGS, e.g. make run ARGS="--lang 2052".
# An up-to-date build says nothing, so the console's welcome is the first line a person reads.
# The console runs in a process group of its own (set -m), so that Ctrl-C reaches only it and it
# ends as "quit" does; the exit keeps bash from replacing itself with it.
run: deps
	@cmake --preset sim >/dev/null
	@set -o pipefail; cmake --build --preset sim -j $(JOBS) --target lumiset-sim -- \
		--no-print-directory | { grep --line-buffered -v -E '^(\[ *[0-9]+%\] Built target|Consolidate compiler generated dependencies) ' || true; }
	@set -m; build/sim/tools/lumiset-sim/lumiset-sim $(ARGS); exit $$?

# Screenshots of every window, in English and Chinese, under Wine: docs/pictures/*/*.png.
pictures: windows
	tests/wine/take-pictures.sh build/windows/app/Lumiset.exe \
		build/windows/tests/wine/lumiset_probe.exe docs/pictures

# Performance figures, not a test: Lumiset.exe against a floor program under Wine, and counts on
# the simulated machine. Takes about ten minutes; QUICK=1 gives rougher figures in about one. The
# builds say nothing but their errors, so the figures are all a person reads.
BENCH_QUIET_BUILD := -- --no-print-directory | { grep --line-buffered -v -E \
	'^(\[ *[0-9]+%\] |-- |Consolidate compiler generated dependencies |Scanning dependencies )' || true; }
bench: deps
	@cmake --preset windows >/dev/null
	@set -o pipefail; cmake --build --preset windows -j $(JOBS) --target Lumiset Floor \
		lumiset_bench_launcher lumiset_probe lumiset-testcam $(BENCH_QUIET_BUILD)
	@cmake --preset sim >/dev/null
	@set -o pipefail; cmake --build --preset sim -j $(JOBS) --target lumiset_sim_counts \
		$(BENCH_QUIET_BUILD)
	@bench/run-bench.sh $(if $(QUICK),--quick) build/windows build/sim/bench/lumiset_sim_counts

# Every suite but the Wine ones (they run Lumiset.exe) with AddressSanitizer and UBSan.
asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# The suites that run the program's threads against each other, with ThreadSanitizer.
tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

# Each libFuzzer target for FUZZ_SECONDS from its seed corpus (tests/fuzz/corpus).
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	LUMISET_FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --preset fuzz -j $(JOBS)

clean:
	rm -rf build

# The real Lumiset.exe under Wine on this display (a virtual one when there is none), with the
# test camera, until Ctrl-C or `make try-ctl ARGS=exit`; see docs/try.md. With job control the
# script alone gets the terminal's Ctrl-C, so make reports no interrupt; the `exit` keeps bash
# from replacing itself with the script, which would undo that.
.PHONY: try try-ctl
try: deps
	@cmake --preset windows >/dev/null
	@set -o pipefail; cmake --build --preset windows -j $(JOBS) \
		--target Lumiset lumisetctl lumiset-testcam -- --no-print-directory | \
		{ grep --line-buffered -v -E '^(\[ *[0-9]+%\] Built target|Consolidate compiler generated dependencies) ' || true; }
	@set -m; tools/try-lumiset.sh start; exit $$?

# lumisetctl.exe with ARGS in the prefix and on the display of `make try`, e.g. ARGS="50hz".
try-ctl:
	@tools/try-lumiset.sh ctl $(ARGS)
