#!/usr/bin/env bash
# Installs, where they are missing, the Debian packages that only the tests need: FUSE views and
# removable-disk file systems through FUSE (bindfs, exFAT, FAT), xfs for the power-cut test, and capsh for the
# test of a writer that the program may not lease. Tests whose tools are missing, or that need root, skip
# with a message.
set -euo pipefail
exec "$(dirname "$0")/install-deps.sh" fuse3 bindfs exfat-fuse exfatprogs fusefat dosfstools xfsprogs e2fsprogs \
    util-linux libcap2-bin
