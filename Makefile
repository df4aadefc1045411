# The two commands the README promises: `make run` and `make test`. Both install what is missing first.
# Warnings are errors under CI (CI=true), plain warnings on a developer's machine.
PRESET ?= $(if $(CI),ci,default)
JOBS ?= $(shell nproc)

.PHONY: all deps build run test test-asan fuzz clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) -j $(JOBS)

run: build
	@echo "heliox: the saver itself is not built yet. Once it is, 'make run' starts it full screen on an X display,"
	@echo "or, with no display, renders a short clip off-screen and prints the folder of PNG frames."

# Every test, in the normal build and again under AddressSanitizer and UndefinedBehaviorSanitizer.
test: build test-asan
	@ctest --preset $(PRESET) -j $(JOBS)

test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan -j $(JOBS)
	@ctest --preset asan -j $(JOBS)

clean:
	rm -rf build
