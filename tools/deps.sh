#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when any is missing.
set -euo pipefail
packages=(cmake g++ ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins
          qt6-multimedia-dev libsqlite3-dev libsqlitecpp-dev libgraphicsmagick++1-dev
          libqt6svg6 fonts-dejavu-core desktop-file-utils locales)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The tests that read and write numbers run once more under a locale whose decimal mark is a comma
# (its source comes with the package locales).
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
