#!/usr/bin/env bash
# Installs the Debian packages the player needs to build, play and test.
# Works as root or through sudo; skips apt entirely when everything is present. The
# browser build and its tests take Emscripten, Node.js and Chromium from Debian, and
# playwright-core (which downloads no browser) from npm with its lockfile.
set -euo pipefail
# qt6-declarative-dev: the CMake files of qt6-speech-dev need its QmlIntegration headers.
PKGS=(build-essential cmake pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev libpng-dev libwmf-dev fonts-urw-base35 libemf2svg-dev
  libsndfile1-dev libmpg123-dev libsdl2-dev libfluidsynth-dev timgm6mb-soundfont
  fonts-dejavu-core xvfb xauth xdotool imagemagick sox libsox-fmt-all lua5.4
  openbox wmctrl x11-utils qt6-translations-l10n qt6-tools-dev qt6-l10n-tools libfontconfig-dev liblua5.4-dev zlib1g-dev libxxhash-dev fontconfig
  libgraphviz-dev graphviz
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng espeak-ng
  at-spi2-core python3-pyatspi dbus
  emscripten nodejs node-acorn chromium)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -o DPkg::Lock::Timeout=300
  $SUDO apt-get install -y --no-install-recommends -o DPkg::Lock::Timeout=300 "${missing[@]}"
fi
# What the page bundles (web/) and the browser tests' driver (tests/web/), exactly as
# locked; again only when a lockfile changed.
for folder in web tests/web; do
  npm_dir="$(dirname "$0")/../$folder"
  if ! cmp -s "$npm_dir/package-lock.json" "$npm_dir/node_modules/.velmora-lock" 2>/dev/null; then
    (cd "$npm_dir" && npm ci --no-audit --no-fund --loglevel=error && cp package-lock.json node_modules/.velmora-lock)
  fi
done
