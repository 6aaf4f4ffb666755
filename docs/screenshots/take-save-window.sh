#!/bin/sh
# Retakes the README's picture of the Load window: its window test, run on a real X
# server (Xvfb) instead of Qt's offscreen platform, keeps the window as a PNG here.
#   docs/screenshots/take-save-window.sh [path/to/build]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
build="$(realpath "${1:-$here/../../build}")"
env -u QT_QPA_PLATFORM VELMORA_SCREENSHOT_DIR="$here" xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/tests/ui/ui_tests" --gtest_filter='SaveLoadWindowTest.SaveIntoASlot*'
