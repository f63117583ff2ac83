# Thin wrapper over the CMake presets; each target installs what is missing first.
.PHONY: deps deps-windows build run test test-sanitize fuzz windows test-windows bench screenshot clean

# How long `make fuzz` runs the number reader's fuzzer.
FUZZ_SECONDS ?= 180

deps:
	@scripts/install-deps.sh

deps-windows:
	@scripts/install-deps.sh windows

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
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
	@scripts/install-deps.sh fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz --target text_to_number_fuzz
	mkdir -p build/fuzz/corpus
	build/fuzz/fuzz/text_to_number_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=build/fuzz/ -dict=fuzz/number.dict build/fuzz/corpus fuzz/corpus

# torva-inout.exe and torva-port.exe, cross-built, in build/windows/.
windows: deps-windows
	cmake --preset windows
	cmake --build --preset windows --target torva-inout torva-port

# The Windows programs and tests, run under Wine in the build's own prefix;
# the programs for this machine too, for the test of --wine in that prefix.
test-windows: deps-windows build
	cmake --preset windows
	cmake --build --preset windows
	scripts/test-windows.sh

bench: build
	build/default/bench/read_byte_bench
	bench/startup.sh build/default/bench/startup_bench build/default/panel/torva-inout \
	  build/default/bench/bare_window

screenshot: build windows
	scripts/screenshot.sh build/default/panel/torva-inout docs/panel.png
	scripts/screenshot.sh build/windows/torva-inout.exe docs/panel-windows.png

# The Debian package in build/package, built with Debian's hardening flags,
# and its install test (needs root or sudo).
.PHONY: package package-test release
package: deps
	@scripts/install-deps.sh package
	cmake --preset package
	cmake --build --preset package --target package

package-test: package
	tests/package_test.sh "$$(ls -t build/package/torva-inout_*.deb | head -n1)" build/package/scratch

# The release, from a commit with nothing uncommitted: the package, a .zip
# per Windows width and SHA256SUMS, in build/release.
release: deps
	@scripts/install-deps.sh package windows release
	scripts/release.sh

clean:
	rm -rf build
