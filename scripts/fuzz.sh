#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan on) and runs each
# for the given number of seconds (default 20) from its corpus in
# fuzz/corpus/<target>. New inputs go to a scratch folder; a crash fails
# the run and leaves its input in build-fuzz/crashes/ to keep as a case.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-20}
bash "$root/scripts/deps.sh"
build=$root/build-fuzz
if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DQUENMARK_FUZZ=ON -DQUENMARK_GUI=OFF -DQUENMARK_TESTS=OFF
fi
cmake --build "$build"
mkdir -p "$build/crashes"
status=0
for target in fuzz_text fuzz_encoding fuzz_headers fuzz_answers fuzz_import; do
    scratch=$(mktemp -d)
    corpus=$root/fuzz/corpus/$target
    mkdir -p "$corpus"
    echo "== $target, ${seconds}s"
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/crashes/$target-" -print_final_stats=1 "$scratch" "$corpus" \
        >"$build/$target.log" 2>&1; then
        tail -40 "$build/$target.log"
        status=1
    fi
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$build/$target.log" | tail -2 || true
    rm -rf "$scratch"
done
if [[ $status -eq 0 ]]; then
    echo "fuzzing: 5 passed, 0 failed"
fi
exit $status
