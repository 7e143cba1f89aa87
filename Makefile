# Thin wrapper over CMake. `make run` builds the tool and resamples the sample
# grid; `make test` builds and runs the whole suite, plainly and under
# AddressSanitizer + UndefinedBehaviorSanitizer.
JOBS ?= 2

.PHONY: build test test-release test-sanitize clean

build:
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j $(JOBS)

test: test-release test-sanitize

test-release: build
	ctest --test-dir build/release --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLMAP_SANITIZE=ON -DQUILLMAP_BUILD_BENCHMARKS=OFF
	cmake --build build/sanitize -j $(JOBS)
	ctest --test-dir build/sanitize --output-on-failure -j $(JOBS)

clean:
	rm -rf build
