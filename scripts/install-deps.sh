#!/usr/bin/env bash
# Installs the Debian packages the player needs to build, play and test.
# Works as root or through sudo; skips apt entirely when everything is present.
set -euo pipefail
PKGS=(build-essential cmake pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libpng-dev libwmf-dev fonts-urw-base35 libemf2svg-dev
  libsndfile1-dev libmpg123-dev libsdl2-dev libfluidsynth-dev timgm6mb-soundfont libssl-dev
  fonts-dejavu-core xvfb xauth xdotool imagemagick sox libsox-fmt-all lua5.4
  openbox wmctrl x11-utils qt6-translations-l10n qt6-tools-dev qt6-l10n-tools libfontconfig-dev liblua5.4-dev zlib1g-dev fontconfig)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -o DPkg::Lock::Timeout=300
$SUDO apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
