#!/usr/bin/env bash
# Installs the Debian packages that building, testing and packaging need, and those named as arguments,
# where they are missing.
set -euo pipefail

# qt6-translations-l10n gives Qt's own texts (buttons, the folder dialog) in the chosen language;
# qt6-base-private-dev lets the window's tests queue input as the window system does; locales lets a test
# make a German locale.
packages=(cmake g++ make libgtest-dev libgmock-dev clang-format git clang libclang-rt-14-dev qt6-base-dev
    qt6-base-private-dev qt6-translations-l10n dpkg-dev file desktop-file-utils appstream groff-base locales "$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
