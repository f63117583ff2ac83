# Thin wrapper over the CMake presets; each target installs what is missing first.
.PHONY: deps deps-windows build run test windows test-windows bench screenshot clean

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

# torva-inout.exe and torva-port.exe, cross-built, in build/windows/.
windows: deps-windows
	cmake --preset windows
	cmake --build --preset windows --target torva-inout torva-port

# The Windows programs and tests, run under Wine in the build's own prefix.
test-windows: deps-windows
	cmake --preset windows
	cmake --build --preset windows
	scripts/test-windows.sh

bench: build
	build/default/bench/read_byte_bench

screenshot: build windows
	scripts/screenshot.sh build/default/panel/torva-inout docs/panel.png
	scripts/screenshot.sh build/windows/torva-inout.exe docs/panel-windows.png

clean:
	rm -rf build
