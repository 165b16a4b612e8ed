#!/usr/bin/env bash
# Builds the fuzz targets (clang, ASan + UBSan) and runs them.
#   scripts/fuzz.sh TARGET SECONDS   one target for a while, growing its corpus
#   scripts/fuzz.sh --smoke          every target briefly over its committed
#                                    corpus (the test run's step)
# Findings land in build/fuzz/findings/; a fixed finding belongs in
# fuzz/corpus/TARGET/ so that the smoke run keeps proving the fix.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
targets=(fuzz_from_text fuzz_wildcard_match fuzz_main_form_record fuzz_settings_store fuzz_hot_key_records
         fuzz_language_file fuzz_profile_import)

build() {
  [ -f build/fuzz/CMakeCache.txt ] || cmake --preset fuzz >/dev/null
  cmake --build build/fuzz -j2 --target "$@"
}

# One target for `seconds`; the committed corpus is read, new inputs go to a
# scratch corpus so the tree stays clean.
run() {
  local target=$1 seconds=$2 scratch="build/fuzz/corpus/$1"
  shift 2
  mkdir -p "$scratch" build/fuzz/findings
  "build/fuzz/fuzz/$target" "$@" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
    -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target-" \
    "$scratch" "fuzz/corpus/$target"
}

if [ "${1:-}" = "--smoke" ]; then
  # One line per target, "PASS name" or "FAIL name", for the test run to count.
  if ! build fuzz_targets >build/fuzz-build.log 2>&1; then
    tail -40 build/fuzz-build.log
    echo "FAIL fuzz build"
    exit 1
  fi
  status=0
  for t in "${targets[@]}"; do
    # A fixed seed keeps the smoke run repeatable: what it explores in a few
    # seconds is the start of what a longer run with the same seed explores,
    # so a long local run with -seed=1 vouches for it. Exploration with fresh
    # seeds is for scripts/fuzz.sh TARGET SECONDS.
    if run "$t" "${FUZZ_SMOKE_SECONDS:-4}" -seed=1 >"build/fuzz/$t.log" 2>&1; then
      echo "PASS $t: $(grep -Eo 'Done [0-9]+ runs' "build/fuzz/$t.log" | tail -1)"
    else
      tail -25 "build/fuzz/$t.log"
      echo "FAIL $t (build/fuzz/$t.log)"
      status=1
    fi
  done
  exit $status
fi

[ $# -eq 2 ] || { echo "usage: $0 TARGET SECONDS | --smoke   (targets: ${targets[*]})" >&2; exit 2; }
build "$1"
run "$1" "$2"
