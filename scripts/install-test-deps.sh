#!/usr/bin/env bash
# Installs the Debian packages that only the tests need, where they are missing: FUSE views and removable-disk
# file systems through FUSE (bindfs, exFAT, FAT), and xfs for the power-cut test. Tests whose tools are
# missing, or that need root, skip with a message.
set -euo pipefail

packages=(fuse3 bindfs exfat-fuse exfatprogs fusefat dosfstools xfsprogs e2fsprogs util-linux)

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
