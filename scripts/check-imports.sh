#!/usr/bin/env bash
# check-imports.sh OBJDUMP EXE LIST_DIR: every function the program imports
# must be one checked to exist on the oldest systems it starts on (the x64
# editions of XP and Server 2003); anything newer has to be looked up at run
# time, or the loader refuses the whole program. LIST_DIR/verified-imports.txt
# holds those functions, sorted, one a line. Every library it imports must
# also be one the loader never takes from the program's own folder
# (LIST_DIR/known-dlls.txt): a planted copy of any other would run before
# the program's first line.
set -euo pipefail
objdump=$1 exe=$2 lists=$3
imports=$("$objdump" -p "$exe" | awk '
  /^\tDLL Name:/ { dll = $3; next }
  /^\t[0-9a-f]+\t/ && dll != "" { print dll, $NF }
  /^$/ { dll = "" }')
[ -n "$imports" ] || { echo "no import table read from $exe" >&2; exit 1; }
verified=$lists/verified-imports.txt
LC_ALL=C sort -c -u "$verified" || { echo "$verified is not sorted and unique" >&2; exit 1; }
known=$(grep -v '^#' "$lists/known-dlls.txt")
status=0
while read -r dll function; do
  if ! grep -qxF "${dll^^}" <<<"$known"; then
    echo "import from a library outside the known ones: $dll $function" >&2
    status=1
  fi
  if ! grep -qxF "$function" "$verified"; then
    echo "unverified import: $dll $function" >&2
    status=1
  fi
done <<<"$imports"
[ $status -eq 0 ] && echo "ok: $(wc -l <<<"$imports") imports of $(basename "$exe") all verified"
exit $status
