#!/usr/bin/env bash
# Runs the tests of one build tree: the headless ones directly, then those that need an
# X server under xvfb-run. Exits non-zero if any test failed.
set -uo pipefail
build=${1:?build directory}
status=0
ctest --test-dir "$build" -L x11 -N | grep -q 'Total Tests: [1-9]' && {
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$build" -L x11 --output-on-failure || status=1
}
ctest --test-dir "$build" -LE x11 --output-on-failure -j "$(nproc)" || status=1
exit $status
