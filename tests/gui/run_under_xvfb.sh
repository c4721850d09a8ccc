#!/bin/sh
# Runs a program on a virtual X server; without xvfb-run the test is skipped (exit 77).
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "xvfb-run is not installed (Debian package xvfb): no screenshot taken" >&2
  exit 77
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
