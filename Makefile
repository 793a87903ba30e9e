# Shortcuts for those who have make; the README's commands are ./amplex.sh run and test, which
# need nothing but bash and apt.
.PHONY: deps build run test test-release test-asan bench format clean

deps:
	./scripts/install-deps.sh

build run test test-release test-asan:
	./amplex.sh $@

bench: build
	for b in build/bench/*_bench; do $$b; done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan
