#!/usr/bin/env bash
# A 仮免 mock exam as a pupil sits it, by the keys alone: opened from the guide sign of the main
# menu, 48 of the 50 questions answered with 1/O and 2/X while moving with Right, two flagged, the
# last two left open, graded with Ctrl+Return and the confirmation's default button. Afterwards
# the learning record holds the graded session with every drawn question, each judged against the
# bank's right answer, and the bank is unchanged. Then a second mock is ended by SIGTERM: the
# program ends cleanly and the record keeps that exam as unfinished, with nothing graded.
#
# usage: test_mock_exam.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init mock_exam "$1"
command -v sqlite3 >/dev/null || e2e_fail "sqlite3 is not installed (scripts/packages.sh installs it)"

# 仮免 board at the upper guide sign: MockKarimenButton (820, 69, 196 x 66), window at x -2.
E2E_MENU_MOCK_KARIMEN=(916 102)

e2e_stage_program
data=$E2E_TMP/data
# 60 statements for both tests and 10 for the 本免 only (never drawn for the 仮免); the right
# answer of 2nnn is 正 for an odd number.
csv='NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai'
for n in $(seq 2001 2070); do
  stage=1; [ "$n" -gt 2060 ] && stage=2
  csv+=$'\n'"0,0,0,$n,0,$stage,解説$n,$((n % 2)),,問題文$n です。"
done
e2e_import bank "$csv" "$data/mondai.cds"
e2e_import_companions "$data"
bank_before=$(e2e_export "$data/mondai.cds")

e2e_start_xvfb
e2e_start_on "$data"
e2e_click "${E2E_MENU_MOCK_KARIMEN[@]}"
exam=$(e2e_wait_window '^仮免 模擬試験$')
e2e_shot exam-open

keys=()
for i in $(seq 1 48); do
  case $((i % 4)) in
    0) keys+=(1) ;; 1) keys+=(x) ;; 2) keys+=(o) ;; 3) keys+=(2) ;;
  esac
  [ "$i" -eq 7 ] || [ "$i" -eq 30 ] && keys+=(f)
  keys+=(Right)
done
e2e_key "$exam" "${keys[@]}"
e2e_shot answered
# The confirmation's default button grades.
e2e_key "$exam" ctrl+Return
confirm=$(e2e_wait_window '^(Lentavo|Tomivel)$')
e2e_shot confirmation
e2e_key "$confirm" Return
results=$(e2e_wait_window '^仮免 模擬試験の結果$')
e2e_shot results

db=$data/kiroku.sqlite
[ -f "$db" ] || e2e_fail "no learning record at $db"
q() { sqlite3 -batch -noheader "$db" "$1"; }
e2e_expect "graded session" "mock-karimen|1|50|45" \
  "$(q "SELECT kind, ended_at IS NOT NULL, max_score, pass_mark FROM sessions")"
e2e_expect "answers recorded" "50|50|2" \
  "$(q "SELECT count(*), count(DISTINCT bango), sum(answer = -1) FROM answers")"
e2e_expect "sources and items" "bank|0" "$(q "SELECT DISTINCT source, item FROM answers")"
# Every answer judged against the bank's right answer (Seikai), read from the bank itself.
seikai=$(e2e_columns "$data/mondai.cds" Bango Seikai)
wrong=0
score=0
while IFS='|' read -r bango answer correct; do
  right=$(printf '%s\n' "$seikai" | awk -F, -v b="$bango" '$1 == b { print $2 }')
  [ -n "$right" ] || e2e_fail "answer to $bango, which the bank does not hold"
  expected=0
  [ "$answer" != -1 ] && [ "$answer" = "$right" ] && expected=1
  [ "$correct" = "$expected" ] || { e2e_log "$bango: answer $answer, right $right, recorded $correct"; wrong=1; }
  score=$((score + correct))
done < <(q "SELECT bango, answer, correct FROM answers ORDER BY id")
[ "$wrong" = 0 ] || e2e_fail "answers judged against something else than the bank"
e2e_expect "score" "$score" "$(q "SELECT score FROM sessions")"
# Only statements for both tests were drawn.
for bango in $(q "SELECT bango FROM answers"); do
  [ "$bango" -le 2060 ] || e2e_fail "2nd-stage statement $bango drawn for the 仮免"
done
e2e_expect "bank after the mock" "$bank_before" "$(e2e_export "$data/mondai.cds")"

# A second mock, ended by SIGTERM with one question answered.
e2e_key "$results" Escape
e2e_wait_window_gone '^仮免 模擬試験の結果$'
e2e_click "${E2E_MENU_MOCK_KARIMEN[@]}"
exam=$(e2e_wait_window '^仮免 模擬試験$')
e2e_key "$exam" 1 Right
sleep 0.3
kill -TERM "$E2E_PROG_PID"
e2e_wait_exit
e2e_expect "exit status after SIGTERM" 0 "$E2E_PROG_STATUS"
e2e_expect "sessions after SIGTERM" "mock-karimen|1|1
mock-karimen|0|0" "$(q "SELECT kind, ended_at IS NOT NULL, score IS NOT NULL FROM sessions ORDER BY id")"
e2e_expect "answers of the unfinished exam" 0 "$(q "SELECT count(*) FROM answers WHERE session_id = 2")"
e2e_expect "record integrity" ok "$(q "PRAGMA integrity_check")"
e2e_expect "bank after SIGTERM" "$bank_before" "$(e2e_export "$data/mondai.cds")"
e2e_log "passed"
