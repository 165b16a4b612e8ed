#!/usr/bin/env bash
# check-layers.sh: fails when a product file includes a file of a higher
# layer. Layers, lowest first (a file may include its own layer and those
# below it):
#   0 platform/ interfaces
#   1 model/, and the platform's implementations (platform/win32, host, memory)
#   2 settings/, localization/
#   3 actions/, shell/, system/
#   4 app/
#   5 window classes (every */win32/ folder outside platform/) and resources/
# Only #include "..." lines count; system headers and bare names are not
# looked at.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# Prints the layer of a path, or nothing for a path outside the product.
layer_of() {
  case "$1" in
    platform/win32/* | platform/host/* | platform/memory/*) echo 1 ;;
    platform/*) echo 0 ;;
    resources/*) echo 5 ;;
    */win32/*) echo 5 ;;
    model/*) echo 1 ;;
    settings/* | localization/*) echo 2 ;;
    actions/* | shell/* | system/*) echo 3 ;;
    app/*) echo 4 ;;
  esac
}
name_of() {
  case "$1" in
    0) echo "platform interfaces" ;;
    1) echo "model or platform implementation" ;;
    2) echo "settings/localization" ;;
    3) echo "actions/shell/system" ;;
    4) echo "app" ;;
    5) echo "window classes" ;;
  esac
}


failures=()
while IFS= read -r file; do
  from=$(layer_of "$file")
  [ -n "$from" ] || continue
  while IFS= read -r included; do
    to=$(layer_of "$included")
    [ -n "$to" ] || continue
    if [ "$to" -gt "$from" ]; then
      failures+=("$file ($(name_of "$from")) includes $included ($(name_of "$to"))")
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files -- model settings localization actions shell system app platform |
         grep -E '\.(h|cpp)$')

if [ ${#failures[@]} -gt 0 ]; then
  echo "upward includes (${#failures[@]}):"
  printf '  %s\n' "${failures[@]}"
  exit 1
fi
echo "layers: no upward include"
