#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time: first every input of its committed seed corpus,
# then new inputs, which it keeps in a work folder of the build (the seed corpus stays as
# committed). A crash, leak, sanitizer report or timeout fails the run; the input is saved in the
# work folder's findings/ with the command that replays it.
#   run-fuzz.sh TARGET SEED_CORPUS WORK_DIR SECONDS   (LUMISET_FUZZ_SECONDS overrides SECONDS)
set -euo pipefail

target=$1 seeds=$2 work=$3
seconds=${LUMISET_FUZZ_SECONDS:-$4}
mkdir -p "$work/corpus" "$work/findings"
started=$(mktemp)
trap 'rm -f "$started"' EXIT

# A target whose input is a language has its words in NAME.dict next to this script.
dict=()
if [ -f "$(dirname "$0")/$(basename "$seeds").dict" ]; then
    dict=(-dict="$(dirname "$0")/$(basename "$seeds").dict")
fi

status=0
"$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    "${dict[@]}" -artifact_prefix="$work/findings/" "$work/corpus" "$seeds" || status=$?
if [ "$status" -ne 0 ]; then
    find "$work/findings" -type f -newer "$started" -exec echo "run-fuzz: replay with: $target" {} \; >&2
fi
exit "$status"
