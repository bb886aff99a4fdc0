#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Tessane.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
mapfile -t packages < <(grep -v '^\s*#' "$here/packages.txt" | grep -v '^\s*$')

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
