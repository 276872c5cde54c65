#!/usr/bin/env bash
# Folders under src/ depend one way: each includes only folders below it in
# the order written in DESIGN.md ("Layout"). Prints every include that reaches
# up or sideways and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"

# Lowest first; folders in one quoted entry are peers and include neither each other.
layers=(core world render "gui fx" net game frontend app)

status=0
for ((i = 0; i < ${#layers[@]}; i++)); do
  forbidden=()
  for ((j = i; j < ${#layers[@]}; j++)); do
    for folder in ${layers[j]}; do forbidden+=("$folder"); done
  done
  for folder in ${layers[i]}; do
    [ -d "$folder" ] || continue
    for target in "${forbidden[@]}"; do
      [ "$target" = "$folder" ] && continue
      if grep -rn --include='*.h' --include='*.cpp' "#include \"$target/" "$folder"; then status=1; fi
    done
  done
done
exit $status
