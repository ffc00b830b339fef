#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zorvaplay need,
# skipping the apt run entirely when all of them are already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n
  libgl-dev libx11-dev libxcb1-dev
  zlib1g-dev liblzma-dev libmpg123-dev libavcodec-dev libavutil-dev libswresample-dev
  libjpeg62-turbo-dev libavformat-dev libswscale-dev
  fonts-wqy-microhei
)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool libxtst-dev
             clang-16 libclang-rt-16-dev llvm-16 ffmpeg
             desktop-file-utils appstream man-db)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
