# Shortcuts for those who have make; the README's commands are ./amplex.sh run and test, which
# need nothing but bash and apt.
.PHONY: deps build run test test-release test-asan package fuzz bench format clean

deps:
	./scripts/install-deps.sh

build run test test-release test-asan package:
	./amplex.sh $@

# FUZZ_SECONDS per target (default 20).
fuzz:
	./amplex.sh fuzz $(FUZZ_SECONDS)

bench: build
	for b in build/bench/*_bench; do $$b; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-fuzz
