#!/usr/bin/env bash
# configure.sh DIR [CMAKE ARGS...]: configures the build directory DIR, with
# Ninja when DIR is new (a directory made earlier keeps its generator).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
generator=()
[ -f "$dir/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S . -B "$dir" "${generator[@]}" "$@" >/dev/null
