# Thin wrapper over CMake. `make run` builds the tool and resamples the sample
# grid; `make test` builds and runs the whole suite, plainly (the command-line
# tests also under valgrind) and under AddressSanitizer + UndefinedBehavior-
# Sanitizer, then the tests that run threads under ThreadSanitizer, then runs
# each fuzz target for FUZZ_SECONDS over its seed corpus.
JOBS ?= 2
FUZZ_SECONDS ?= 60

.PHONY: build run test test-release test-sanitize test-thread test-fuzz clean

# The sample grid (25 m cells) resampled to 40 m cells. The tool alone needs
# only a compiler and CMake, so it gets a build of its own without tests.
SAMPLE := examples/sample_terrain.asc
SAMPLE_RESULT := build/run/sample_terrain_40m.asc

build:
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j $(JOBS)

run:
	cmake -S . -B build/tool -DCMAKE_BUILD_TYPE=Release -DQUILLMAP_BUILD_TESTS=OFF -DQUILLMAP_BUILD_BENCHMARKS=OFF
	cmake --build build/tool --target quillmap -j $(JOBS)
	@mkdir -p $(dir $(SAMPLE_RESULT))
	@message="$$(build/tool/quillmap $(SAMPLE) $(SAMPLE_RESULT) 40)"; \
	  if [ -n "$$message" ]; then echo "quillmap: $$message"; exit 1; fi
	@echo
	@echo "Resampled $(SAMPLE) to 40 m cells; result written to $(SAMPLE_RESULT)"
	@echo "Its header:"
	@head -n 6 $(SAMPLE_RESULT)

test: test-release test-sanitize test-thread test-fuzz

test-release: build
	ctest --test-dir build/release --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLMAP_SANITIZE=ON -DQUILLMAP_BUILD_BENCHMARKS=OFF
	cmake --build build/sanitize -j $(JOBS)
	ctest --test-dir build/sanitize --output-on-failure -j $(JOBS)

# Only the tests whose code runs threads: the file-to-file resampling's.
test-thread:
	cmake -S . -B build/thread -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMAP_THREAD_SANITIZE=ON \
	  -DQUILLMAP_BUILD_BENCHMARKS=OFF -DQUILLMAP_BUILD_EXAMPLES=OFF
	cmake --build build/thread --target TStreamingResampleTest -j $(JOBS)
	ctest --test-dir build/thread -R StreamingResample --output-on-failure -j $(JOBS)

# The fuzz targets need clang; all three run at once.
test-fuzz:
	cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DQUILLMAP_FUZZ=ON \
	  -DQUILLMAP_BUILD_TESTS=OFF -DQUILLMAP_BUILD_BENCHMARKS=OFF -DQUILLMAP_BUILD_EXAMPLES=OFF
	cmake --build build/fuzz --target ReadWriteFuzz ResampleFuzz StreamingResampleFuzz -j $(JOBS)
	fuzz/run_fuzzers.sh build/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build
