#!/usr/bin/env bash
# Fuzzes the track reader and the sentence parser with libFuzzer (clang,
# AddressSanitizer and UndefinedBehaviorSanitizer), in build/fuzz.
#   tools/fuzz.sh             each target for FUZZ_SECONDS (default 300) seconds
#   tools/fuzz.sh --short     a bounded run of about a minute in all, as CI does
# Fails when a target crashes or a sanitizer reports; the input that did it is
# left in build/fuzz/artifacts.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/fuzz"
seconds=${FUZZ_SECONDS:-300}
if [ "${1:-}" = "--short" ]; then
  seconds=25
fi

cmake -S "$top/tools/fuzz" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j4 --target FuzzTrackReader FuzzTrackSentence fuzz_seeds

bin="$build"
mkdir -p "$build/corpus/reader" "$build/corpus/sentence" "$build/artifacts"
"$bin/fuzz_seeds" "$build/corpus/reader" "$build/corpus/sentence"

run() {
  local target=$1 corpus=$2 maxlen=$3
  echo "fuzz: $target for ${seconds}s"
  "$bin/$target" -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 "$build/corpus/$corpus" 2>"$build/$target.log" \
    || { tail -n 60 "$build/$target.log"; echo "fuzz: $target failed"; exit 1; }
  grep -E '^stat::number_of_executed_units' "$build/$target.log" || true
}
run FuzzTrackReader reader 65536
run FuzzTrackSentence sentence 4096
echo "fuzz: clean"
