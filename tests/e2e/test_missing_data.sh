#!/usr/bin/env bash
# A settings file naming a directory without "advice.cds": the drill start shows
# "データファイルが、見付かりません。", removes the settings file (so the next start asks again), and
# the program ends with status 0. The bank and the history of that directory stay as they were.
#
# usage: test_missing_data.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init missing_data "$1"

e2e_stage_program
data=$E2E_TMP/data
e2e_import bank 'NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai
0,0,0,0201,0,1,解説,1,,問題です。' "$data/mondai.cds"
e2e_import history 'Bango,Seihi,Mondai
0201,0,前回の答え' "$data/rireki.cds"
printf '%s' "$data/" >"$E2E_INF"
bank_before=$(md5sum <"$data/mondai.cds")
history_before=$(md5sum <"$data/rireki.cds")

e2e_start_xvfb
e2e_start_program "$E2E_PROG"
e2e_wait_menu >/dev/null
e2e_click "${E2E_MENU_EASY[@]}"

# The message box: a small window titled with the application's name. Its text cannot be read
# from outside; the widget tests check it. Nothing else of that size may be on screen.
box=$(e2e_wait_window '^Tomivel$' 600)
e2e_shot message
e2e_program_running || e2e_fail "the program ended before the message was acknowledged"
e2e_key "$box" Return

e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
[ ! -e "$E2E_INF" ] || e2e_fail "the settings file is still there: $(cat "$E2E_INF")"
[ "$(md5sum <"$data/mondai.cds")" = "$bank_before" ] || e2e_fail "the bank was rewritten"
[ "$(md5sum <"$data/rireki.cds")" = "$history_before" ] || e2e_fail "the history was rewritten"
[ ! -e "$data/advice.cds" ] || e2e_fail "an advice table was created"
e2e_log "passed"
