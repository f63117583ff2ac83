# Thin wrapper over the CMake presets; each target installs what is missing first.
.PHONY: deps build run test bench screenshot clean

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	build/default/panel/torva-inout

test: build
	ctest --preset default -j 2

bench: build
	build/default/bench/read_byte_bench

screenshot: build
	scripts/screenshot.sh build/default/panel/torva-inout docs/panel.png

# The Debian package in build/default, and its install test (needs root or sudo).
.PHONY: package package-test
package: build
	@scripts/install-deps.sh package
	cmake --build --preset default --target package

package-test: package
	tests/package_test.sh "$$(ls -t build/default/torva-inout_*.deb | head -n1)" build/default/tests/scratch/package

clean:
	rm -rf build
