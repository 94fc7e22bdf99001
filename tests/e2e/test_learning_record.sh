#!/usr/bin/env bash
# The menu's 学習記録 in the real program: the window opens on a data directory without a
# record (a new pupil), looking creates no record file, and the program still ends cleanly.
#
# usage: test_learning_record.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init learning_record "$1"

e2e_stage_program
data=$E2E_TMP/data
e2e_import bank 'NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai
0,0,0,0301,0,1,一の解説,1,,一つ目の問題です。' "$data/mondai.cds"
e2e_import_companions "$data"

e2e_start_xvfb
e2e_start_on "$data"
e2e_click "${E2E_MENU_RECORD[@]}"
e2e_wait_window '^学習記録$' >/dev/null
e2e_shot learning-record
e2e_log "学習記録 shown"
[ ! -e "$data/kiroku.sqlite" ] || e2e_fail "opening 学習記録 created kiroku.sqlite"

kill -TERM "$E2E_PROG_PID"
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
e2e_log "passed"
