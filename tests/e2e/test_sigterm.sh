#!/usr/bin/env bash
# SIGTERM (a logout, a shutdown, kill) while a drill is open: the program ends cleanly with status
# 0 and the drill's answers and counters are stored, as when the main window is closed.
#
# usage: test_sigterm.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init sigterm "$1"

e2e_stage_program
data=$E2E_TMP/data
e2e_start_xvfb
e2e_open_drill "$data"

kill -TERM "$E2E_PROG_PID"
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
e2e_check_open_drill_stored "$data"
e2e_log "passed"
