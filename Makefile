# make run: build the program alone (no tests, no GoogleTest needed) in
# build-run/, then run it on the bundled example in run/.
# make test: build, then pass every test, in the normal build and again with
# AddressSanitizer and UndefinedBehaviorSanitizer.
# make tsan: the tests that run searches on several threads, built with
# ThreadSanitizer; any report fails them (not part of make test).
# make install: the program, its manual page, the README and the examples
# under PREFIX (/usr/local), built alone in build-install/.
# make package: the same as a Debian package, korvel_*.deb in build-package/.
BUILD := build
RUN_BUILD := build-run
JOBS := 2
PREFIX := /usr/local

.PHONY: all build run test bench sanitize tsan clean install package

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j $(JOBS)

# The scratch folder gets the example files the first time; later runs keep
# the environment and listing they left, as the program's users would.
run:
	cmake -S . -B $(RUN_BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF
	cmake --build $(RUN_BUILD) --target korvel -j $(JOBS)
	mkdir -p run
	for f in examples/*; do case $$f in *.md) ;; *) [ -e run/$$(basename $$f) ] || cp $$f run/;; esac; done
	cd run && ../$(RUN_BUILD)/korvel $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) sanitize

# The build for installing is a folder of its own: its --help names the
# installed README, and a change of PREFIX rebuilds it with the new path.
# DESTDIR=... given to make stages the files below it, as cmake --install does.
install:
	cmake -S . -B build-install -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF \
	      -DKORVEL_INSTALLED_README=ON -DCMAKE_INSTALL_PREFIX=$(abspath $(PREFIX))
	cmake --build build-install --target korvel -j $(JOBS)
	cmake --install build-install

package:
	cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DKORVEL_TESTS=OFF -DKORVEL_BENCH=OFF \
	      -DKORVEL_INSTALLED_README=ON -DCMAKE_INSTALL_PREFIX=/usr
	cmake --build build-package --target korvel -j $(JOBS)
	cd build-package && cpack -G DEB

sanitize:
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKORVEL_SANITIZE=ON
	cmake --build build-sanitize -j $(JOBS)
	cd build-sanitize && ctest --output-on-failure -j $(JOBS)

# The program under test is built with ThreadSanitizer too: a report on its
# console breaks the byte-for-byte comparisons, and the exit code tells.
# The typed interrupt tests stay out: the sanitizer holds a signal back
# while the program waits in a read, which those tests depend on.
TSAN_TESTS := GoldenRuns|Interrupt.FirstCtrlC|Interrupt.CtrlCDuringTheReport|SeriesRun|ScriptedRun|Samples|SearchStrategy|ValuedCriteria
tsan:
	cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEL_TSAN=ON
	cmake --build build-tsan -j $(JOBS)
	cd build-tsan && TSAN_OPTIONS="halt_on_error=1 exitcode=66" ctest --output-on-failure -j $(JOBS) -R '$(TSAN_TESTS)'

bench:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DKORVEL_BENCH=ON
	cmake --build $(BUILD) -j $(JOBS)
	$(BUILD)/korvel-bench

clean:
	rm -rf $(BUILD) $(RUN_BUILD) build-sanitize build-tsan build-install build-package

# make fuzz: build the fuzz targets with clang and run each for FUZZ_SECONDS.
FUZZ_BUILD := build-fuzz
FUZZ_SECONDS := 60
.PHONY: fuzz
fuzz:
	cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)
