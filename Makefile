# The two commands of the Quick start, plus a few for developers. Set
# TNUI_NO_INSTALL=1 to keep scripts/install-deps from installing anything.
.PHONY: demo test check docs package deps deps-test bench format clean

# Configures build folder $(1) with the CMake options $(3); the compiler $(2)
# and the generator are given only to a new folder, so one configured with
# another compiler keeps it.
configure = cmake -S . -B $(1) $(if $(wildcard $(1)/CMakeCache.txt),,-G Ninja -DCMAKE_CXX_COMPILER=$(2)) $(3)

demo: deps
	$(call configure,build/release,g++,-DCMAKE_BUILD_TYPE=Release)
	cmake --build build/release --target sketchpad
	build/release/examples/sketchpad/sketchpad demo-output

test: deps-test
	scripts/run-tests

# The release build and its tests only (no sanitizer build).
check: deps-test
	scripts/run-tests release

# The API reference (Doxygen, with the guide) in build/release/docs/api/html/.
docs: deps-test
	$(call configure,build/release,g++,-DCMAKE_BUILD_TYPE=Release)
	cmake --build build/release --target docs

# Debian packages of the libraries (libtnui<major>, libtnui-dev) from the
# release build, in build/release/packages/. dpkg-shlibdeps, which finds the
# runtime package's dependencies, comes with the test packages.
package: deps-test
	$(call configure,build/release,g++,-DCMAKE_BUILD_TYPE=Release)
	cmake --build build/release --target UIBase_3A UIWidgets_3A
	cpack --config build/release/CPackConfig.cmake -B build/release/packages

deps:
	scripts/install-deps

# The tests also build and run the benchmarks once, which compare against Boost,
# and run the marking menu at a real X server (Xvfb).
deps-test:
	scripts/install-deps test

bench: deps-test
	$(call configure,build/bench,g++,-DCMAKE_BUILD_TYPE=Release \
	  -DTNUI_BUILD_BENCH=ON -DTNUI_BUILD_TESTS=OFF -DTNUI_BUILD_EXAMPLES=OFF)
	cmake --build build/bench --target tnui_bench tnui_bench_render
	build/bench/bench/tnui_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	build/bench/bench/tnui_bench_render --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf build
