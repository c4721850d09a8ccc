# Shared by scripts/build-windows, scripts/test-windows and scripts/build-windows-qt: the
# Debian packages of the cross build and of Wine, installed when missing, and the folders.
# shellcheck shell=bash

QPANE_SOURCE=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINDOWS_BUILD=${QPANE_WINDOWS_BUILD:-$QPANE_SOURCE/build-windows}
WINDOWS_PREFIX=$WINDOWS_BUILD/prefix        # SQLite and GoogleTest built for Windows
WINDOWS_THIRD_PARTY=$WINDOWS_BUILD/third-party
WINDOWS_QPANE=$WINDOWS_BUILD/qpane          # the console's own build
WINDOWS_TOOLCHAIN=$QPANE_SOURCE/cmake/mingw-w64-x86_64.cmake

# Installs the packages named when any is missing; quiet when all are there.
windows_install() {
  local missing="" p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
      missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  local sudo=""
  if [ "$(id -u)" != 0 ]; then
    command -v sudo >/dev/null 2>&1 && sudo="sudo" || {
      echo "missing packages:$missing (run as root or install sudo)" >&2; return 1; }
  fi
  echo "installing$missing" >&2
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq >/dev/null || true
  # shellcheck disable=SC2086
  $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# Debian's source packages (apt-get source): a source list of Debian 12's archive, added once.
windows_enable_sources() {
  local list=/etc/apt/sources.list.d/qpane-debian-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ &&
     ! grep -qs '^deb-src' /etc/apt/sources.list; then
    local sudo=""
    [ "$(id -u)" != 0 ] && sudo="sudo"
    $sudo tee "$list" >/dev/null <<'LIST'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
LIST
    $sudo apt-get update -qq >/dev/null
  fi
}
