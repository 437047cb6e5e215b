# Two commands for a newcomer: `make run` and `make test`.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
JOBS ?= $(shell nproc)
# CI builds with WERROR=ON: a new warning fails them.
WERROR ?= OFF

.PHONY: all deps configure build run test package bench clean test-asan test-tsan fuzz fuzz-long windows-configure windows test-windows

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/plumbrook

CTEST_FLAGS ?=
test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) $(CTEST_FLAGS)

# The Debian package, $(BUILD)/plumbrook_<version>_amd64.deb.
package: build
	@cd $(BUILD) && cpack -G DEB

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer;
# the browser check is left to the plain build.
# intercept_tls_get_addr=0: GCC 12's runtime takes a thread's dynamic TLS block for
# the layout of glibc before 2.25 whenever the block happens to start 16 bytes into
# a page, reads a bogus range from in front of it, and LeakSanitizer's exit-time
# scan then dies in its tracer ("Tracer caught signal 11") after every test has
# passed. Whether it happens depends only on where the allocator put the block, so
# a program that hits it hits it on every run; a retry does not help.
SANITIZE := -fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer -fno-sanitize-recover=all
test-asan:
	@ASAN_OPTIONS=intercept_tls_get_addr=0 $(MAKE) --no-print-directory test BUILD=build-asan \
	    CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUMBROOK_BROWSER_TEST=OFF \
	    -DCMAKE_CXX_FLAGS='$(SANITIZE)' -DCMAKE_EXE_LINKER_FLAGS='$(SANITIZE)'"

# The threaded tests built with ThreadSanitizer: everything that runs work on the pools
# of model/background_work.h or threads of its own. Only these programs are built. Qt is
# not built with the sanitizer, so our code marks the hand-offs that pass through Qt
# (model/thread_handoff.h); any report fails the run.
TSAN := -fsanitize=thread
TSAN_TESTS ?= tst_background_work tst_carousel_settings tst_design_file \
    tst_http_client tst_picture_cache tst_update_check tst_announcements tst_feedback \
    tst_editor_preview tst_text_editors tst_carousel_editor tst_palette \
    tst_module_background tst_file_menu tst_file_writes tst_unsaved_work tst_crash_recovery \
    tst_picture_arrival tst_picture_drop tst_picture_object tst_decoded_pictures tst_feedback_window
# Left out, one reason each:
#   tst_updater: its only other thread is QNetworkAccessManager's own, handing over inside Qt.
#   tst_preview_cache: now and then its picture server's cpp-httplib workers race inside that library.
#   tst_design_check_window: not threaded; the checks run on the user-interface thread.
# die_after_fork=0: the updater is started detached, from a process that has threads.
TSAN_RUN_OPTIONS := halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 \
    suppressions=$(CURDIR)/tests/tsan-suppressions.txt
test-tsan: deps
	@cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUMBROOK_BROWSER_TEST=OFF \
	    -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) \
	    -DCMAKE_CXX_FLAGS='$(TSAN)' -DCMAKE_EXE_LINKER_FLAGS='$(TSAN)' >/dev/null
	@cmake --build build-tsan -j $(JOBS) --target $(TSAN_TESTS)
	cd build-tsan && TSAN_OPTIONS="$(TSAN_RUN_OPTIONS)" \
	    ctest --output-on-failure -j $(JOBS) -R '^($(subst $(eval) ,|,$(strip $(TSAN_TESTS))))$$'

# libFuzzer targets under tests/fuzz, built with clang; each runs FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DPLUMBROOK_FUZZ=ON -DPLUMBROOK_BROWSER_TEST=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target fuzz_targets
	@tests/fuzz/run-fuzzers build-fuzz $(FUZZ_SECONDS)

# Every fuzz target for ten minutes, a longer search than a CI run's.
fuzz-long:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=600

# The Windows build: the libraries it links (built once per machine into a cache, see
# scripts/build-windows-sdk), the cross build, its zip and its setup program; its tests
# run under wine.
WINDOWS_BUILD ?= build-windows
windows-configure: deps
	@scripts/build-windows-sdk
	@cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-toolchain.cmake \
	    -DPLUMBROOK_WIN64_SDK="$$(scripts/build-windows-sdk --print)" -DPLUMBROOK_BROWSER_TEST=OFF \
	    -DPLUMBROOK_HOST_MODULEGEN=$(CURDIR)/$(BUILD)/bin/modulegen \
	    -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR) >/dev/null

windows: windows-configure
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target windows_zip windows_installer

test-windows: build windows-configure
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@cmake --build $(WINDOWS_BUILD) --target windows_zip windows_installer
	cd $(WINDOWS_BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@QT_QPA_PLATFORM=offscreen scripts/run-benchmarks $(BUILD)

clean:
	rm -rf $(BUILD)
