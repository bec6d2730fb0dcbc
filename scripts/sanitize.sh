#!/usr/bin/env bash
# Builds and runs the whole test suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, then builds the threaded tests (label
# "threaded") and runs them under ThreadSanitizer. Exits non-zero on any
# finding or failure.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/deps.sh"

configure() { # <dir> <flags>
    if [[ ! -f $1/build.ninja ]]; then
        cmake -S "$root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_CXX_FLAGS="$2 -fno-omit-frame-pointer"
    fi
}

echo "== AddressSanitizer and UndefinedBehaviorSanitizer: the whole suite"
configure "$root/build-asan" "-fsanitize=address,undefined -fno-sanitize-recover=all"
cmake --build "$root/build-asan"
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure --timeout 600 -j2

echo "== ThreadSanitizer: the threaded tests"
configure "$root/build-tsan" "-fsanitize=thread"
cmake --build "$root/build-tsan" --target http_tests intake_tests server_tests shorten_tests \
    main_window_test shorten_click_test import_click_test
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/tests/tsan.supp" \
    ctest --test-dir "$root/build-tsan" -L threaded --output-on-failure --timeout 600 -j2
