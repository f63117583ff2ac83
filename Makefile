# Thin wrapper over the CMake presets; each target installs what is missing first.
.PHONY: deps deps-windows build run test test-sanitize fuzz windows test-windows test-debian12 test-debian13 test-deps-debian12 test-deps-fresh bench bench-windows screenshot clean

# ALLOW_DOWNGRADE=1: where a library's two architectures (amd64, i386)
# cannot agree, install both at the newest version that both offer,
# taking installed ones back if need be (scripts/setup/install-deps.sh).
export ALLOW_DOWNGRADE

# How long `make fuzz` runs the number reader's fuzzer.
FUZZ_SECONDS ?= 180

deps:
	@scripts/setup/install-deps.sh

deps-windows:
	@scripts/setup/install-deps.sh windows

build: deps
	cmake --preset default
	cmake --build --preset default

# Only the panel and what it links, so the window opens without waiting
# for the tests and benchmarks.
run: deps
	cmake --preset default
	cmake --build --preset default --target torva-inout
	build/default/panel/torva-inout

test: build
	ctest --preset default -j 2

# The whole suite, the window and its end-to-end test included, under ASan + UBSan.
test-sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize -j 2

# New inputs go to build/fuzz/corpus; the seeds in fuzz/corpus stay as they are.
fuzz:
	@scripts/setup/install-deps.sh fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz --target text_to_number_fuzz
	mkdir -p build/fuzz/corpus
	build/fuzz/fuzz/text_to_number_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=build/fuzz/ -dict=fuzz/number.dict build/fuzz/corpus fuzz/corpus

# Both widths of the Windows programs; each folder holds torva-inout.exe and torva-port.exe.
WINDOWS_WIDTHS = x64 x86

# torva-inout.exe and torva-port.exe, cross-built, in build/windows/x64/ and build/windows/x86/.
windows: deps-windows
	for width in $(WINDOWS_WIDTHS); do \
	  cmake --preset windows-$$width && \
	  cmake --build --preset windows-$$width --target torva-inout torva-port || exit 1; \
	done

# The Windows programs and tests of both widths, run under Wine in the build's own prefix;
# the programs for this machine too, for the test of --wine in that prefix.
test-windows: deps-windows build
	for width in $(WINDOWS_WIDTHS); do \
	  cmake --preset windows-$$width && cmake --build --preset windows-$$width || exit 1; \
	done
	scripts/ci/test-windows.sh $(addprefix windows-,$(WINDOWS_WIDTHS))

# make test and make test-windows in a clone of HEAD inside a minimal
# Debian 12 or 13 (debootstrap, kept in build/debian12, build/debian13);
# needs root or sudo. DEBIAN12_TARGETS, DEBIAN13_TARGETS name other
# targets to run there.
DEBIAN12_TARGETS ?= test test-windows
DEBIAN13_TARGETS ?= test test-windows
test-debian12:
	scripts/ci/test-debian.sh 12 $(DEBIAN12_TARGETS)
test-debian13:
	scripts/ci/test-debian.sh 13 $(DEBIAN13_TARGETS)

# install-deps.sh windows on a Debian 12 where nothing was installed
# before it, whose apt sources name the security suite as an installed
# system's do (a tree made anew; needs root or sudo).
test-deps-debian12:
	FRESH=1 scripts/ci/test-debian.sh 12 test-deps-fresh
# Only where nothing of the Windows group is installed yet.
test-deps-fresh:
	tests/setup/install-deps-fresh.sh

bench: build
	build/default/bench/read_byte_bench
	bench/startup.sh build/default/bench/startup_bench build/default/panel/torva-inout \
	  build/default/bench/bare_window

# A large paste into each width's Win32 window under Wine, and each
# width's panel started against a bare Win32 window with the panel's
# manifest, and that window against the same without it (timed by the
# startup_bench built for this machine), and the steps of its start that
# may grow with what is installed. MANY_FONTS=1 times the start a
# second time with about two thousand fonts more, Debian's Noto fonts
# unpacked under build/bench/many-fonts (not installed), in a Wine prefix
# of their own.
bench-windows: deps-windows
	cmake --preset default && cmake --build --preset default --target startup_bench
	for width in $(WINDOWS_WIDTHS); do \
	  cmake --preset windows-$$width && \
	  cmake --build --preset windows-$$width --target paste_bench torva-inout bare_window bare_window_manifest start_steps_bench && \
	  bench/paste.sh build/windows/$$width/bench/paste_bench.exe && \
	  for fonts in machine $(if $(MANY_FONTS),many); do ( \
	    if [ $$fonts = many ]; then \
	      export FONTCONFIG_FILE=$$(bench/many-fonts.sh build/bench/many-fonts) \
	        WINEPREFIX=$(CURDIR)/build/windows/wine-many-fonts || exit 1; fi; \
	    echo "$$width, with $$(fc-list | wc -l) fonts:"; \
	    bench/startup-windows.sh build/default/bench/startup_bench build/windows/$$width/torva-inout.exe \
	      build/windows/$$width/bench/bare_window.exe build/windows/$$width/bench/bare_window_manifest.exe 15 \
	      build/windows/$$width/bench/start_steps_bench.exe \
	  ) || exit 1; done; \
	done

# The panels as the README shows them, and in docs/themes/ on a dark Qt
# desktop and in Windows' two high-contrast schemes.
screenshot: build windows
	@scripts/setup/install-deps.sh themes
	scripts/session/screenshot.sh build/default/panel/torva-inout docs/panel.png
	scripts/session/screenshot.sh build/windows/x64/torva-inout.exe docs/panel-windows.png
	THEME=dark scripts/session/screenshot.sh build/default/panel/torva-inout docs/themes/qt-dark.png
	for scheme in high-contrast-black high-contrast-white; do \
	  THEME=$$scheme scripts/session/screenshot.sh build/windows/x64/torva-inout.exe docs/themes/windows-$$scheme.png || exit 1; \
	done

# The Debian package in build/package, built with Debian's hardening flags,
# and its install test (needs root or sudo).
.PHONY: package package-test release release-test reproducible
package: deps
	@scripts/setup/install-deps.sh package
	cmake --preset package
	cmake --build --preset package --target package

package-test: package
	tests/release/package-test.sh "$$(ls -t build/package/torva-inout_*.deb | head -n1)" build/package/scratch

# The release, from a commit with nothing uncommitted: the package, a .zip
# and a Windows Installer package per Windows width and SHA256SUMS, in
# build/release; signed when SIGN_PKCS12 and SIGN_PASSWORD_FILE are given.
release: deps
	@scripts/setup/install-deps.sh package windows release
	scripts/release/release.sh

# What make release left: its sums and archives, and its Windows Installer
# packages installed, upgraded and removed under Wine.
release-test:
	tests/release/release-test.sh build/release
	tests/release/msi-test.sh build/release

# The release built twice, in two clones, compared byte for byte.
reproducible:
	tests/release/reproducible.sh

clean:
	rm -rf build
