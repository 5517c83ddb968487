#!/usr/bin/env bash
# Installs the Debian 12 packages Zorvane needs to build, test and run, skipping what is
# already there. Run as root.
set -euo pipefail
packages=(cmake make g++ qt6-base-dev libgtest-dev libbenchmark-dev fonts-dejavu-core xvfb xauth
  dpkg-dev file desktop-file-utils appstream shared-mime-info man-db)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
