#!/usr/bin/env bash
# Builds the program as it was at REV (default e387dfa, the start of the
# present round of start-up work) for start_time --baseline, and prints the
# program's path. The tree is taken with git archive into
# build/baseline-REV/src and built beside it; a second call reuses both.
#
#     bash tools/starttime/build_baseline.sh [REV]
#     build/rel/tools/starttime/start_time --baseline "$(bash tools/starttime/build_baseline.sh)"
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
rev=${1:-e387dfa}
out="$top/build/baseline-$rev"
if [ ! -f "$out/src/CMakeLists.txt" ]; then
    mkdir -p "$out/src"
    git -C "$top" archive "$rev" | tar -x -C "$out/src"
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$out/src" -B "$out/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
# The registration tool lies beside the program, where the program looks for it.
cmake --build "$out/build" -j "${JOBS:-2}" --target velmorastine regsvr32 >/dev/null
echo "$out/build/velmorastine"
