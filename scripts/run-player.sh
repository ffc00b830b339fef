#!/usr/bin/env bash
# Starts the player. Without a display (a bare console or CI) it runs under a virtual X
# server, so that `make run` works everywhere.
set -euo pipefail
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]] && command -v xvfb-run >/dev/null; then
  echo "No display found: running the player under a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
fi
exec "$@"
