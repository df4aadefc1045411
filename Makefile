# The two commands the README promises: `make run` and `make test`. Both install what is missing first.
# Warnings are errors under CI (CI=true), plain warnings on a developer's machine.
PRESET ?= $(if $(CI),ci,default)
JOBS ?= $(shell nproc)

.PHONY: all deps build run test test-asan test-windows clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) -j $(JOBS)

# With an X display the show runs in a window (a key or closing it ends it). Without one it is rendered
# off-screen instead: 10 seconds at 30 frames a second, as PNG frames in $(CLIP).
CLIP ?= build/clip
run: build
	@if [ -n "$$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then \
		build/$(PRESET)/app/heliox --window --data build/$(PRESET)/data.sdd; \
	else \
		echo "make run: no X display; rendering 10 seconds of the show off-screen"; \
		rm -rf $(CLIP); \
		build/$(PRESET)/app/heliox --render $(CLIP) --data build/$(PRESET)/data.sdd --frames 300 \
			--dt 0.0333333 --size 800x600 --seed $$(date +%s); \
	fi

# Every test, in the normal build and again under AddressSanitizer and UndefinedBehaviorSanitizer.
test: build test-asan test-windows
	@ctest --preset $(PRESET) -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

# The Windows builds, both with warnings as errors. The x86_64 tests run under Wine (scripts/wine-run); the
# i686 build cannot run on this kernel, so it is compiled and linked only.
# The smoke runs of heliox.scr show the data.sdd that the Linux build made.
test-windows: build
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j $(JOBS)
	@cmake --preset win64 -DHELIOX_SHOW_DATA=$(CURDIR)/build/$(PRESET)/data.sdd >/dev/null
	@cmake --build --preset win64 -j $(JOBS)
	@ctest --preset win64 -j $(JOBS)

clean:
	rm -rf build
