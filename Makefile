# The user's commands. Each one installs what a fresh machine lacks, then does its work.
.PHONY: all deps test sim windows msi run pictures asan tsan clean

JOBS ?= $(shell nproc)

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

test: sim windows
	ctest --preset sim -j $(JOBS)

# Lumiset on the simulated desktop; extra options go in ARGS, e.g. make run ARGS="--lang 2052".
run: sim
	@build/sim/tools/lumiset-sim/lumiset-sim $(ARGS)

# Screenshots of every window, in English and Chinese, under Wine: docs/pictures/*/*.png.
pictures: windows
	tests/wine/take-pictures.sh build/windows/app/Lumiset.exe \
		build/windows/tests/wine/lumiset_probe.exe docs/pictures

asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

clean:
	rm -rf build
