#!/bin/sh
# Runs the button demo on a virtual X server and saves a screenshot of its window.
# Usage: take_demo_screenshot.sh DEMO_PROGRAM OUTPUT_PNG
# Exit 77 (reported by ctest as skipped) when xvfb-run is not installed.
demo="$1"
out="$2"
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "xvfb-run is not installed (Debian package xvfb): no screenshot of the button demo" >&2
  exit 77
fi
rm -f "$out"
xvfb-run -a -s "-screen 0 1024x768x24" "$demo" --screenshot "$out" || exit 1
# A PNG that holds a picture, not just a header.
size=$(wc -c <"$out" 2>/dev/null || echo 0)
if [ "$size" -lt 2000 ]; then
  echo "screenshot $out is missing or too small ($size bytes)" >&2
  exit 1
fi
echo "screenshot: $out"
