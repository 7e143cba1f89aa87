# Thin wrapper over CMake. `make run` builds the tool and resamples the sample
# grid; `make test` builds and runs the whole suite, plainly and under
# AddressSanitizer + UndefinedBehaviorSanitizer.
JOBS ?= 2

.PHONY: build run test test-release test-sanitize clean

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

test: test-release test-sanitize

test-release: build
	ctest --test-dir build/release --output-on-failure -j $(JOBS)

test-sanitize:
	cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLMAP_SANITIZE=ON -DQUILLMAP_BUILD_BENCHMARKS=OFF
	cmake --build build/sanitize -j $(JOBS)
	ctest --test-dir build/sanitize --output-on-failure -j $(JOBS)

clean:
	rm -rf build
