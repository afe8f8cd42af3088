#!/usr/bin/env bash
# Builds the benchmark programs into $PLUVIK_BENCH_BUILD (default /tmp/pluvik-bench-build), never into
# the program's own build folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${PLUVIK_BENCH_BUILD:-${TMPDIR:-/tmp}/pluvik-bench-build}"
cmake -S "$here" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j2 >&2
echo "$out/bin"
