#!/usr/bin/env bash
# Installs, where they are missing, the Debian packages that only the tests need: FUSE views and
# removable-disk file systems through FUSE (bindfs, exFAT, FAT), and xfs for the power-cut test. Tests whose
# tools are missing, or that need root, skip with a message.
set -euo pipefail
exec "$(dirname "$0")/install-deps.sh" fuse3 bindfs exfat-fuse exfatprogs fusefat dosfstools xfsprogs e2fsprogs \
    util-linux
