#!/usr/bin/env bash
# check-no-journal.sh SHIPPED_EXE SIM_EXE: the shipped program must not carry
# the simulation build's action journal; the simulation program must (so
# that the check can tell the two apart).
set -euo pipefail
marker=VESPERON_ACTION_JOURNAL
grep -q "$marker" "$2" || { echo "the simulation program has no journal" >&2; exit 1; }
if grep -q "$marker" "$1"; then echo "the shipped program carries the journal" >&2; exit 1; fi
echo "ok: $(basename "$1") has no action journal"
