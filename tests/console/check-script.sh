#!/usr/bin/env bash
# Runs lumiset-sim on a script and compares what it prints, and its exit status, with the
# expected transcript (the first line of which may be "# exit N").
set -u
sim=$1 script=$2 expected=$3
want_status=$(sed -n '1s/^# exit \([0-9]*\)$/\1/p' "$expected")
want_status=${want_status:-0}
# A script may name the options it runs with, in a line "# lumiset-sim options: …".
options=$(sed -n "s/^# lumiset-sim options: //p" "$script" | head -n 1)
# shellcheck disable=SC2086
actual=$("$sim" --script "$script" $options 2>&1)
status=$?
if ! diff -u <(grep -v '^# exit ' "$expected") <(printf '%s\n' "$actual"); then
    echo "transcript of $script differs (expected, then actual)"
    exit 1
fi
if [ "$status" -ne "$want_status" ]; then
    echo "exit status $status, expected $want_status"
    exit 1
fi
