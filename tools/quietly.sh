#!/usr/bin/env bash
# Sourced by the scripts in tools/, not run: a step whose output goes to a log that is shown
# only when the step fails.

# quietly LOG WHAT COMMAND...: runs COMMAND with no input, its output (both streams) added to
# LOG. When it fails, says on standard error "SCRIPT: WHAT failed (log: LOG); its last lines:"
# with the last 40 lines of LOG, build progress lines ("[12/56] Building ...") left out, and
# the script exits with 1. SCRIPT is $quiet_name, else the script's file name.
quietly() {
  local log=$1 what=$2
  shift 2
  if "$@" </dev/null >>"$log" 2>&1; then return 0; fi
  {
    echo "${quiet_name:-${0##*/}}: $what failed (log: $log); its last lines:"
    grep -vE '^\[[0-9]+/[0-9]+\] ' "$log" | tail -n 40
  } >&2
  exit 1
}
