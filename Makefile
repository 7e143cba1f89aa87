# Thin wrapper over CMake; `make help` lists the targets. `make run` builds the
# tool and resamples the sample grid; `make test` builds and runs the whole
# suite, plainly (the command-line tests also under valgrind) and under
# AddressSanitizer + UndefinedBehaviorSanitizer, then the tests that run
# threads under ThreadSanitizer, then runs each fuzz target for FUZZ_SECONDS
# over its seed corpus, and ends with a summary of all four.
JOBS ?= 2
FUZZ_SECONDS ?= 60

.PHONY: build run test test-release test-sanitize test-thread test-fuzz help clean

# The sample grid (25 m cells) resampled to 40 m cells. The tool alone needs
# only a compiler and CMake, so it gets a build of its own without tests.
SAMPLE := examples/sample_terrain.asc
SAMPLE_RESULT := build/run/sample_terrain_40m.asc

# Each test stage leaves its one-line result here; `make test` prints them last.
RELEASE_SUMMARY := build/release/test-summary.txt
SANITIZE_SUMMARY := build/sanitize/test-summary.txt
THREAD_SUMMARY := build/thread/test-summary.txt
FUZZ_SUMMARY := build/fuzz/test-summary.txt

# Tests, benchmarks and the Python package are requested explicitly: here a
# missing GoogleTest, Google Benchmark or pybind11 is an error, not a reason
# to skip them. The sanitized, thread and fuzz builds leave the Python
# package out.
build:
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DQUILLMAP_BUILD_TESTS=ON -DQUILLMAP_BUILD_BENCHMARKS=ON \
	  -DQUILLMAP_BUILD_PYTHON=ON
	cmake --build build/release -j $(JOBS)

run:
	cmake -S . -B build/tool -DCMAKE_BUILD_TYPE=Release -DQUILLMAP_BUILD_TESTS=OFF -DQUILLMAP_BUILD_BENCHMARKS=OFF \
	  -DQUILLMAP_BUILD_PYTHON=OFF
	cmake --build build/tool --target quillmap -j $(JOBS)
	@mkdir -p $(dir $(SAMPLE_RESULT))
	@message="$$(build/tool/quillmap $(SAMPLE) $(SAMPLE_RESULT) 40)"; \
	  if [ -n "$$message" ]; then echo "quillmap: $$message"; exit 1; fi
	@echo
	@echo "Resampled $(SAMPLE) to 40 m cells; result written to $(SAMPLE_RESULT)"
	@echo "The tool itself is build/tool/quillmap. The result's header:"
	@head -n 6 $(SAMPLE_RESULT)

test: test-release test-sanitize test-thread test-fuzz
	@echo
	@echo "Summary:"
	@cat $(RELEASE_SUMMARY) $(SANITIZE_SUMMARY) $(THREAD_SUMMARY) $(FUZZ_SUMMARY)

# ctest's log holds its total ("100% tests passed, 0 tests failed out of N").
test-release: build
	ctest --test-dir build/release --output-on-failure -j $(JOBS) --output-log build/release/ctest.log
	@echo "release ctest:   $$(grep -E 'tests passed' build/release/ctest.log)" > $(RELEASE_SUMMARY)

test-sanitize:
	cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLMAP_SANITIZE=ON \
	  -DQUILLMAP_BUILD_TESTS=ON -DQUILLMAP_BUILD_BENCHMARKS=OFF -DQUILLMAP_BUILD_PYTHON=OFF
	cmake --build build/sanitize -j $(JOBS)
	ctest --test-dir build/sanitize --output-on-failure -j $(JOBS) --output-log build/sanitize/ctest.log
	@echo "sanitizer ctest: $$(grep -E 'tests passed' build/sanitize/ctest.log)" > $(SANITIZE_SUMMARY)

# Only the tests whose code runs threads (THREAD_TESTS, a ctest name pattern):
# the file-to-file pipeline's (its resampling, its scheduler and the worker
# team under them), and GeoTIFF files read and written from several threads
# at once; and only the test programs that hold them (THREAD_PROGRAMS, each
# named after its folder of tests/).
THREAD_PROGRAMS := pipeline_tests platform_tests gridio_tests maptools_tests
THREAD_TESTS := FileResampling|TBandScheduler|TWorkerTeam|GeoTIFFFileToolsTest.Concurrent|TItemTeam|WorkerCount|TPieceLoad|TGridFileReader|TResampleCells|TBandedBody|TGeoTIFFPipeline|TGeoTIFFSource|ResampleOracleTest.MapsOfManyBands

test-thread:
	cmake -S . -B build/thread -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMAP_THREAD_SANITIZE=ON \
	  -DQUILLMAP_BUILD_TESTS=ON -DQUILLMAP_BUILD_BENCHMARKS=OFF -DQUILLMAP_BUILD_EXAMPLES=OFF \
	  -DQUILLMAP_BUILD_PYTHON=OFF
	cmake --build build/thread --target $(THREAD_PROGRAMS) -j $(JOBS)
	ctest --test-dir build/thread -R '$(THREAD_TESTS)' --output-on-failure -j $(JOBS) --output-log build/thread/ctest.log
	@echo "thread ctest:    $$(grep -E 'tests passed' build/thread/ctest.log)" > $(THREAD_SUMMARY)

# The fuzz targets need clang; they all run at once (the GeoTIFF reader's in
# builds with libtiff). The script prints one line per target, kept for the
# summary.
test-fuzz:
	cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DQUILLMAP_FUZZ=ON \
	  -DQUILLMAP_BUILD_TESTS=OFF -DQUILLMAP_BUILD_BENCHMARKS=OFF -DQUILLMAP_BUILD_EXAMPLES=OFF \
	  -DQUILLMAP_BUILD_PYTHON=OFF
	cmake --build build/fuzz -j $(JOBS)
	@fuzz/run_fuzzers.sh build/fuzz $(FUZZ_SECONDS) > build/fuzz/run.log; status=$$?; \
	  cat build/fuzz/run.log; sed 's/^/fuzz /' build/fuzz/run.log > $(FUZZ_SUMMARY); exit $$status

help:
	@echo "make build          configure and build everything in Release (build/release), tests required"
	@echo "make run            build the tool alone (build/tool/quillmap) and resample the sample grid"
	@echo "make test           the whole suite: test-release, test-sanitize, test-thread, test-fuzz, then a summary"
	@echo "make test-release   build, then run ctest in build/release"
	@echo "make test-sanitize  build and run ctest under ASan + UBSan in build/sanitize"
	@echo "make test-thread    build and run the tests that run threads under ThreadSanitizer (build/thread)"
	@echo "make test-fuzz      build the fuzz targets with clang (build/fuzz), run each FUZZ_SECONDS (60)"
	@echo "make clean          remove build/"
	@echo "Variables: JOBS (parallel jobs, 2), FUZZ_SECONDS (60)."

clean:
	rm -rf build
