# Short commands over the CMake presets. `make run` and `make test` are all a fresh
# machine needs: both install missing packages first.
.PHONY: deps run test test-default test-clang test-sanitize test-windows windows release web fuzz fuzz-smoke memcheck bench format

deps:
	@scripts/install-deps

# The program writes its report file into the folder it runs in: run/, kept out
# of version control.
run: deps
	@cmake --preset default >/dev/null && cmake --build --preset default --target kelvor
	@mkdir -p run && cd run && ../build/kelvor

# The web page, one self-contained file: build-web/web/index.html (em++, npm ci).
web: deps
	cmake --preset web
	cmake --build --preset web

test: deps test-default test-clang test-sanitize fuzz-smoke memcheck test-windows

test-default:
	cmake --preset default
	cmake --build --preset default
	ctest --preset default

# The same build and tests with clang: the code must not depend on one compiler.
test-clang:
	cmake --preset clang
	cmake --build --preset clang
	ctest --preset clang

test-sanitize:
	cmake --preset sanitize
	cmake --build --preset sanitize
	ctest --preset sanitize

# The Windows kelvor.exe (build-windows/kelvor.exe), cross-built with mingw-w64.
windows: deps
	cmake --preset windows
	cmake --build --preset windows --target kelvor

# The downloads, in build-release/packages and alone there (cpack stages its files
# in build-release/cpack), each named with the version in VERSION: the Linux
# .tar.gz and .deb (the program, its manual page and the C++ package), the Windows
# .zip (the stripped kelvor.exe and a README) and the Python wheel and source
# archive, each with the licence. Every file in them carries the time of the last
# commit, so that a release built twice is the same bytes; scripts/check-release
# then checks that, lintian and the rest.
release: export SOURCE_DATE_EPOCH = $(shell git log -1 --format=%ct)
release: deps
	rm -rf build-release/packages
	cmake --preset release
	cmake --build --preset release
	cd build-release && cpack
	cmake --preset windows
	cmake --build --preset windows --target windows_zip
	cp build-windows/kelvor-*-windows-x86_64.zip build-release/packages/
	/usr/bin/python3 -m build --no-isolation --outdir build-release/packages .
	/usr/bin/python3 cmake/deterministic_archive.py retar build-release/packages/kelvor-$$(cat VERSION).tar.gz
	scripts/check-release

# The Windows build's unit tests and every end-to-end case under Wine.
test-windows: deps
	scripts/test-windows

# The five fuzzers alone (build-fuzz/fuzz/), with every library they reach instrumented.
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz

fuzz-smoke:
	@if [ -f fuzz/CMakeLists.txt ]; then $(MAKE) fuzz && scripts/fuzz-smoke; fi

# valgrind memcheck over every end-to-end case (about 20 s).
memcheck: deps
	cmake --preset default
	cmake --build --preset default --target kelvor
	scripts/memcheck build/kelvor

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	scripts/run-bench

format:
	git ls-files '*.cpp' '*.hpp' | xargs clang-format -i
