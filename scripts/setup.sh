#!/bin/sh
# Installs the Debian packages that building, testing, running and packaging Linkwright need (the
# manual pages, the Debian package and the checks of the desktop files among them), and any given
# as arguments (scripts/fuzz.sh adds clang). Safe to run again: apt-get is only called when a
# package is missing.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
libcli11-dev nlohmann-json3-dev libnlopt-cxx-dev qt6-base-dev qt6-svg-dev libgl-dev fonts-liberation2 xvfb xauth
clang-format poppler-utils help2man dpkg-dev file desktop-file-utils appstream shared-mime-info $*"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
