#!/usr/bin/env bash
# Installs the Debian packages the editor needs to build, run and test, skipping the step
# entirely when everything is already there.
set -euo pipefail

packages=(g++ cmake ninja-build qt6-base-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-ipafont-gothic clang clang-format zlib1g-dev
          desktop-file-utils appstream strace xvfb tiled dpkg-dev file lintian
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
