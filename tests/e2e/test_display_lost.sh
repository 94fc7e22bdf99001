#!/usr/bin/env bash
# The display goes away in the middle of a drill (a logout, a display-manager restart, a dropped
# remote session): the toolkit ends the process with exit(1), no window closes and no destructor
# runs. The drill's answers and counters are stored all the same, and standard error says why
# the program ended.
#
# usage: test_display_lost.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init display_lost "$1"

e2e_stage_program
data=$E2E_TMP/data
e2e_start_xvfb
e2e_open_drill "$data"

kill -KILL "$E2E_XVFB_PID"
wait "$E2E_XVFB_PID" 2>/dev/null || true
E2E_XVFB_PID=
e2e_wait_exit
e2e_expect "exit status" 1 "$E2E_PROG_STATUS"
grep -q '練習のデータを書き戻しました' "$E2E_TMP/program.log" ||
  e2e_fail "standard error does not say why the program ended: $(cat "$E2E_TMP/program.log")"
e2e_check_open_drill_stored "$data"
e2e_log "passed"
