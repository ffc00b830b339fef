#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time each, seeded from its own
# folder of seeds when there is one. A crash, a leak or a hang fails the run; the input
# that caused it is kept in <build>/fuzz/crashes/ and the end of the log is shown.
set -uo pipefail
build=${1:?fuzz build directory}
seconds=${2:-60}
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
[[ ${#targets[@]} -gt 0 ]] || { echo "no fuzz targets in $build/fuzz"; exit 1; }
crashes="$build/fuzz/crashes"
mkdir -p "$crashes"
status=0
# Symbolized stacks in the logs, when the toolchain's symbolizer is there.
for symbolizer in llvm-symbolizer-16 llvm-symbolizer; do
  if command -v "$symbolizer" >/dev/null; then
    export ASAN_SYMBOLIZER_PATH=$(command -v "$symbolizer")
    break
  fi
done
for t in "${targets[@]}"; do
  [[ -x $t && -f $t ]] || continue
  name=$(basename "$t")
  work=$(mktemp -d)
  seeds="$build/fuzz/seeds/$name"
  log="$build/fuzz/$name.log"
  echo "== $name for ${seconds}s"
  if "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$crashes/$name-" "$work" $([[ -d $seeds ]] && echo "$seeds") >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done' "$log" || tail -n 3 "$log"
  else
    echo "FAILED: $name (log $log, inputs in $crashes)"
    # The finding itself, not the progress lines before it.
    first=$(grep -n -m1 -E 'runtime error|ERROR:|deadly signal|out-of-memory|timeout after' "$log" | cut -d: -f1)
    tail -n +"${first:-1}" "$log" | grep -v -E '^#[0-9]+' | head -n 60
    status=1
  fi
  rm -rf "$work"
done
exit $status
