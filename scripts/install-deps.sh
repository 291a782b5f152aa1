#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the sample need,
# only those that are missing. With package names as arguments, those instead
# (without their recommended packages: Wine's are large).
set -euo pipefail
extra=()
[ "$#" -gt 0 ] && extra=(--no-install-recommends)
packages=(build-essential cmake ninja-build pkg-config
          libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev libbenchmark-dev
          qt6-base-dev libgl1-mesa-dev xvfb xauth fonts-dejavu-core clang libclang-rt-14-dev
          dpkg-dev file qt6-translations-l10n lintian clang-format-14 libgcrypt20-dev
          chromium)
[ "$#" -gt 0 ] && packages=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Instalando: ${missing[*]}"
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${extra[@]}" \
        "${missing[@]}" >/dev/null
fi
