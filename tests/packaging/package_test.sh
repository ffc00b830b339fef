#!/usr/bin/env bash
# Builds the Debian package from a build folder, unpacks it into a temporary root and
# checks what a machine that installs it gets: the files in their places, valid desktop
# data, a thumbnailer that makes thumbnails, and a player that starts.
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; echo "FAIL: cpack could not build the package" >&2; exit 1; }
deb=$(ls "$work"/out/*.deb)
root="$work/root"
dpkg-deb -x "$deb" "$root"

[[ $(dpkg-deb -f "$deb" Package) == zorvaplay ]] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libavformat libavcodec libmpg123; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

for f in usr/bin/zorvaplay usr/bin/zorvaplay-swf usr/lib/zorvaplay/zorvaplay \
         "usr/lib/zorvaplay/阴天.swf" "usr/lib/zorvaplay/I Want A Fat Baby.swf" \
         usr/share/applications/zorvaplay.desktop usr/share/thumbnailers/zorvaplay.thumbnailer \
         usr/share/metainfo/zorvaplay.metainfo.xml usr/share/man/man1/zorvaplay-swf.1.gz; do
  [[ -e "$root/$f" ]] || fail "missing /$f"
done
[[ -L "$root/usr/bin/zorvaplay" ]] || fail "/usr/bin/zorvaplay is no link to the program folder"

# Each icon is a PNG of its size: the width and height stand at bytes 16 to 23.
for size in 16 22 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/zorvaplay.png"
  if [[ ! -f $icon ]]; then fail "missing icon ${size}x${size}"; continue; fi
  read -r w h < <(od -An -tu1 -j16 -N8 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [[ "$w $h" == "$size $size" ]] || fail "icon ${size}x${size} is ${w}x${h}"
done

desktop="$root/usr/share/applications/zorvaplay.desktop"
grep -q '^MimeType=.*application/x-shockwave-flash' "$desktop" || fail "desktop entry lacks the SWF type"
grep -q '^Icon=zorvaplay$' "$desktop" || fail "desktop entry names no icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/zorvaplay.metainfo.xml" >"$work/as.log" 2>&1 \
    || { cat "$work/as.log" >&2; fail "AppStream data does not validate"; }
fi
if command -v man >/dev/null; then
  warnings=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/zorvaplay-swf.1.gz" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "manual page: $warnings"
fi

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The thumbnailer as a file manager runs it: its Exec line with %i, %o and %s filled in,
# the tool found where the package put it.
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/thumbnailers/zorvaplay.thumbnailer")
[[ $exec_line == zorvaplay-swf\ * ]] || fail "thumbnailer runs $exec_line"
read -r -a words <<<"$exec_line"
args=()
for word in "${words[@]:1}"; do
  case $word in
    %i) args+=("$root/usr/lib/zorvaplay/阴天.swf") ;;
    %o) args+=("$work/thumb.png") ;;
    %s) args+=(128) ;;
    *) args+=("$word") ;;
  esac
done
PATH="$root/usr/bin:$PATH" zorvaplay-swf "${args[@]}" || fail "the thumbnailer failed"
if [[ -f $work/thumb.png ]]; then
  read -r w h < <(od -An -tu1 -j16 -N8 "$work/thumb.png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  (( w == 128 || h == 128 )) && (( w <= 128 && h <= 128 )) || fail "thumbnail is ${w}x${h}, not 128 on its longer side"
else
  fail "no thumbnail written"
fi

# The installed player starts on its movie and keeps running until it is stopped.
set +e
timeout -s TERM 5 "$root/usr/bin/zorvaplay" yintian >"$work/player.log" 2>&1
status=$?
set -e
if [[ $status -ne 124 ]]; then
  cat "$work/player.log" >&2
  fail "the installed player ended by itself (status $status) instead of running"
fi

if (( failures > 0 )); then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package $(basename "$deb") installs and runs"
