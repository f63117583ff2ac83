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

clean:
	rm -rf build
