#!/usr/bin/env bash
# Installs what the game (and, with "test", the test suite) needs on Debian 12
# when it is missing, then configures and builds into build/: the game and its
# data tree only, or, with "test", every target.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config libsdl1.2-dev libsdl-net1.2-dev libgl1-mesa-dev libglu1-mesa-dev
  libopenal-dev libcurl4-openssl-dev libjpeg62-turbo-dev libfreetype-dev fonts-dejavu-core libgtest-dev libbenchmark-dev imagemagick)
if [ "${1:-}" = test ]; then
  packages+=(xvfb xauth clang libclang-rt-14-dev sox assimp-utils libassimp-dev lib3ds-dev
    libjpeg-turbo-progs xdotool buildah mmdebstrap python3-yaml desktop-file-utils appstream lintian man-db dpkg-dev file qstat)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
scripts/configure.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${1:-}" = test ]; then
  cmake --build build -j "$jobs"
else
  cmake --build build -j "$jobs" --target grimvale
fi
