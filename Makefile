# The two commands of the Quick start, plus a few for developers.
.PHONY: demo test deps deps-test bench format clean

demo: deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++
	cmake --build build/release --target sketchpad
	build/release/examples/sketchpad/sketchpad demo-output

test: deps-test
	scripts/run-tests

deps:
	scripts/install-deps

# The tests also build and run the benchmarks once, which compare against Boost,
# and run the marking menu at a real X server (Xvfb).
deps-test:
	scripts/install-deps test

bench:
	scripts/install-deps test
	cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ \
	  -DTNUI_BUILD_BENCH=ON -DTNUI_BUILD_TESTS=OFF -DTNUI_BUILD_EXAMPLES=OFF
	cmake --build build/bench --target tnui_bench
	build/bench/bench/tnui_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf build
