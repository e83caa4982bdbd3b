#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need, only those that
# are missing. Uses sudo only when not running as root.
# Usage: deps.sh [fuzz]   (fuzz: also clang and its libFuzzer runtime)
set -eu
packages=(
    cmake g++ make ninja-build lld pkg-config
    libsdl1.2-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri liblodepng-dev zlib1g-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils libx11-dev sox
    libfreetype-dev fonts-dejavu-core
)
if [ "${1:-}" = fuzz ]; then
    packages+=(clang libclang-rt-dev)
fi
if ! command -v dpkg-query >/dev/null; then
    echo "deps: not a Debian-based system; install the equivalents of: ${packages[*]}" >&2
    exit 0
fi
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        "install ok installed") ;;
        *) missing+=("$p") ;;
    esac
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "deps: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "deps: missing packages and no sudo to install them as $(id -un): ${missing[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
