#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time each, seeded from its own
# folder of seeds when there is one. A crash, a leak or a hang fails the run.
set -euo pipefail
build=${1:?fuzz build directory}
seconds=${2:-60}
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
[[ ${#targets[@]} -gt 0 ]] || { echo "no fuzz targets in $build/fuzz"; exit 1; }
for t in "${targets[@]}"; do
  name=$(basename "$t")
  work=$(mktemp -d)
  seeds="$build/fuzz/seeds/$name"
  echo "== $name for ${seconds}s"
  "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       "$work" $( [[ -d $seeds ]] && echo "$seeds" ) 2>&1 | tail -n 12
  rm -rf "$work"
done
