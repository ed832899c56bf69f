#!/usr/bin/env bash
# Fuzzes every parser of outside input with libFuzzer (clang, AddressSanitizer
# and UndefinedBehaviorSanitizer), in build/fuzz: the track reader and the
# sentence parser, the registry hive text, the settings files ("view",
# "setup.ini"), the recording header (playback opener and scan) and a
# recording opened and drawn through the FFmpeg back end.
#   tools/fuzz.sh               each target for FUZZ_SECONDS (default 300) seconds, one after another
#   tools/fuzz.sh --short       a bounded run of about a minute in all, as CI does
#   tools/fuzz.sh --parallel    every target at once, one core each, for FUZZ_SECONDS
# FUZZ_TARGETS="A B" limits the run to those targets. Fails when a target
# crashes, times out, runs out of memory or a sanitizer reports; the input
# that did it is left in build/fuzz/artifacts.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/fuzz"
seconds=${FUZZ_SECONDS:-300}
parallel=0
case "${1:-}" in
  --short) seconds=8 ;;
  --parallel) parallel=1 ;;
esac

# target corpus max_len
targets=(
  "FuzzTrackReader reader 65536"
  "FuzzTrackSentence sentence 4096"
  "FuzzRegistryHive hive 16384"
  "FuzzSettingsFiles settings 8192"
  "FuzzAsfHeader header 65536"
  "FuzzMediaFile media 65536"
)
wanted=${FUZZ_TARGETS:-}
names=()
for t in "${targets[@]}"; do
  name=${t%% *}
  if [ -z "$wanted" ] || [[ " $wanted " == *" $name "* ]]; then names+=("$name"); fi
done

cmake -S "$top/tools/fuzz" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"${FUZZ_JOBS:-3}" --target "${names[@]}" fuzz_seeds

mkdir -p "$build/artifacts"
for c in reader sentence hive settings header media; do mkdir -p "$build/corpus/$c"; done
"$build/fuzz_seeds" "$build/corpus/reader" "$build/corpus/sentence" "$build/corpus/hive" "$build/corpus/settings"
# The header and media targets start from the recordings too.
cp -n "$build/corpus/reader"/*.asf "$build/corpus/header/"
cp -n "$build/corpus/reader"/*.asf "$build/corpus/media/"

run() {
  local target=$1 corpus=$2 maxlen=$3
  local dict=()
  # A target's tokens, where it has some (tools/fuzz/<target>.dict).
  [ -f "$top/tools/fuzz/$target.dict" ] && dict=(-dict="$top/tools/fuzz/$target.dict")
  "$build/$target" "${dict[@]}" -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 "$build/corpus/$corpus" \
    >"$build/$target.log" 2>&1
}

report() {
  local target=$1 status=$2
  local execs
  execs=$(grep -E '^stat::number_of_executed_units' "$build/$target.log" | awk '{print $2}' || true)
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$build/$target.log"
    echo "fuzz: $target failed (executions: ${execs:-?})"
    return 1
  fi
  echo "fuzz: $target clean, ${execs:-?} executions in ${seconds}s"
}

failed=0
if [ "$parallel" = 1 ]; then
  declare -A pids
  for t in "${targets[@]}"; do
    read -r name corpus maxlen <<<"$t"
    [[ " ${names[*]} " == *" $name "* ]] || continue
    run "$name" "$corpus" "$maxlen" & pids[$name]=$!
  done
  for name in "${names[@]}"; do
    status=0
    wait "${pids[$name]}" || status=$?
    report "$name" "$status" || failed=1
  done
else
  for t in "${targets[@]}"; do
    read -r name corpus maxlen <<<"$t"
    [[ " ${names[*]} " == *" $name "* ]] || continue
    echo "fuzz: $name for ${seconds}s"
    status=0
    run "$name" "$corpus" "$maxlen" || status=$?
    report "$name" "$status" || { failed=1; break; }
  done
fi
[ "$failed" = 0 ] || exit 1
echo "fuzz: clean"
