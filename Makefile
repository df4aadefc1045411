# The two commands the README promises: `make run` and `make test`. Both install what is missing first.
# Warnings are errors under CI (CI=true), plain warnings on a developer's machine.
PRESET ?= $(if $(CI),ci,default)
JOBS ?= $(shell nproc)

.PHONY: all deps build run test test-asan test-windows windows-installer deb clean

all: build

deps:
	@bash scripts/install-deps

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET) -j $(JOBS)

# The show, soon after a fresh clone: only what running needs is installed, and only the program and the show
# are built (the `run` preset, build/run: no tests or benchmarks). With an X display the show runs in a window
# (a key or closing it ends it). Without one it is rendered off-screen instead: 10 seconds at 30 frames a
# second, as PNG frames in $(CLIP).
CLIP ?= build/clip
run:
	@bash scripts/install-deps --run
	@cmake --preset run >/dev/null
	@cmake --build --preset run -j $(JOBS)
	@if [ -n "$$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then \
		build/run/app/linux/heliox --window --data build/run/data.sdd; \
	else \
		echo "make run: no X display; rendering 10 seconds of the show off-screen"; \
		rm -rf $(CLIP); \
		build/run/app/linux/heliox --render $(CLIP) --data build/run/data.sdd --frames 300 \
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

# The Windows installers, build/heliox-VERSION-setup-x64.exe and build/heliox-VERSION-setup-x86.exe, made by NSIS
# (installer/heliox.nsi) in the Windows builds with the show the Linux build made. The x86_64 build makes its
# installer anyway, since its Wine tests install it; the i686 one is made here only, and cannot run on this kernel.
INSTALLER_VERSION = $(shell sed -n 's/^project.Heliox VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
windows-installer: build
	@cmake --preset win32 -DHELIOX_SHOW_DATA=$(CURDIR)/build/$(PRESET)/data.sdd >/dev/null
	@cmake --build --preset win32 -j $(JOBS) --target heliox_installer
	@cmake --preset win64 -DHELIOX_SHOW_DATA=$(CURDIR)/build/$(PRESET)/data.sdd >/dev/null
	@cmake --build --preset win64 -j $(JOBS) --target heliox_installer
	@cp build/win64/installer/heliox-$(INSTALLER_VERSION)-setup-x64.exe \
		build/win32/installer/heliox-$(INSTALLER_VERSION)-setup-x86.exe build/
	@echo "make windows-installer: build/heliox-$(INSTALLER_VERSION)-setup-x64.exe" \
		"build/heliox-$(INSTALLER_VERSION)-setup-x86.exe"

# The Debian packages, build/deb/heliox_VERSION-REVISION_ARCH.deb with the program and
# build/deb/heliox-data_VERSION-REVISION_all.deb with the show, made by dpkg-buildpackage from a copy of the
# working tree: its build leaves the tree and the other build folders alone, and it rebuilds everything and runs
# the tests (DEB_BUILD_OPTIONS=nocheck leaves them out), so it is no part of `make test`. lintian checks both
# packages, pedantic tags included, and fails the target on an error or a warning. The packaging tools, and
# whatever debian/control's Build-Depends names that is missing, are installed here only.
DEB_DIR := build/deb
DEB_TOOLS := dpkg-dev debhelper lintian
DEB_VERSION = $(shell sed -n 's/^project.Heliox VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DEB_ARCH = $(shell dpkg --print-architecture 2>/dev/null)
DEB_SRC = $(DEB_DIR)/heliox-$(DEB_VERSION)
DEB_FULL_VERSION = $(shell dpkg-parsechangelog -S Version 2>/dev/null)
DEB_FILES = $(DEB_DIR)/heliox_$(DEB_FULL_VERSION)_$(DEB_ARCH).deb $(DEB_DIR)/heliox-data_$(DEB_FULL_VERSION)_all.deb
SUDO = $(if $(filter 0,$(shell id -u)),,sudo)
deb:
	@missing=$$(for p in $(DEB_TOOLS); do \
		dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "make deb: installing" $$missing; \
		$(SUDO) apt-get -o DPkg::Lock::Timeout=600 update -qq && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
			--no-install-recommends $$missing; \
	fi
	@upstream=$$(dpkg-parsechangelog -S Version | sed 's/-[^-]*$$//'); \
	if [ "$$upstream" != "$(DEB_VERSION)" ]; then \
		echo "make deb: CMakeLists.txt says version $(DEB_VERSION) but debian/changelog $$upstream;" \
			"add an entry for $(DEB_VERSION)-1 at the top of debian/changelog" \
			"(devscripts' dch -v $(DEB_VERSION)-1 writes one)" >&2; \
		exit 1; \
	fi
	rm -rf $(DEB_DIR)
	mkdir -p $(DEB_SRC)
	tar -c --exclude=./build --exclude=./.git --exclude='./obj-*' --exclude=node_modules \
		--exclude=./debian/heliox --exclude=./debian/heliox-data --exclude=./debian/tmp \
		--exclude=./debian/.debhelper -f - . | tar -x -C $(DEB_SRC)
	@cd $(DEB_SRC) && dpkg-checkbuilddeps 2>/dev/null || { \
		echo "make deb: installing the packages debian/control asks for"; \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get -o DPkg::Lock::Timeout=600 build-dep -y -qq ./; }
	cd $(DEB_SRC) && DEB_BUILD_OPTIONS="$(DEB_BUILD_OPTIONS) parallel=$(JOBS)" dpkg-buildpackage -b -us -uc
	rm -rf $(DEB_SRC)
	lintian --pedantic --fail-on error,warning $(DEB_FILES)
	@echo "make deb: $(DEB_FILES)"

clean:
	rm -rf build
