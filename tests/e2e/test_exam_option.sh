#!/usr/bin/env bash
# The 外免切替 mock as a school's desktop shortcut opens it: `lentavo --exam gaimen` shows the main
# menu with the mock's window over it. Its 50 statements are answered by the keys alone, graded
# with Ctrl+Return and the confirmation's default button. Afterwards the learning record holds one
# graded session of kind mock-gaimen with 50 answers, each the key typed for it and judged against
# the bank, the score their sum; only statements of the 本免 test's scope without a figure were
# drawn. Before that, the option itself: --help names it, and a word that names no test is
# refused before any window opens.
#
# usage: test_exam_option.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init exam_option "$1"
command -v sqlite3 >/dev/null || e2e_fail "sqlite3 is not installed (scripts/packages.sh installs it)"

help=$("$E2E_PROGRAM" --help)
for word in karimen honmen gaimen; do
  grep -q -- "--exam $word" <<<"$help" || e2e_fail "--help does not name --exam $word"
done
status=0
err=$("$E2E_PROGRAM" --exam gaiman 2>&1 >/dev/null) || status=$?
e2e_expect "status for an unknown test" 2 "$status"
grep -q "karimen|honmen|gaimen" <<<"$err" || e2e_fail "the refusal does not name the tests: $err"

e2e_stage_program
data=$E2E_TMP/data
mkdir -p "$data"
convert -size 64x40 xc:steelblue "$E2E_TMP/figure.png"
# 3001-3040 for both tests, 3041-3080 for the 本免 only, 3081-3090 never asked; every fourth has
# a figure, so 60 of the 80 in scope are text only. The right answer of 3nnn is 正 for an odd
# number.
csv='NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai'
for n in $(seq 3001 3090); do
  stage=1; [ "$n" -gt 3040 ] && stage=2; [ "$n" -gt 3080 ] && stage=0
  zu=; [ $((n % 4)) -eq 0 ] && zu=file:figure.png
  csv+=$'\n'"0,0,0,$n,0,$stage,解説$n,$((n % 2)),$zu,外免の問題文$n です。"
done
e2e_import bank "$csv" "$data/mondai.cds"
e2e_import_companions "$data"
bank_before=$(e2e_export "$data/mondai.cds")

e2e_start_xvfb
E2E_PROG_ARGS=(--exam gaimen)
e2e_start_on "$data"
exam=$(e2e_wait_window '^外免切替 模擬試験$')
# The title and the first statement; the clock's corner changes every second.
e2e_wait_settled 600x100+0+0
e2e_shot exam-open

# 1, x, o, 2 in turn: 正, 誤, 正, 誤 ... for the 50 questions.
keys=()
expected=()
for i in $(seq 1 50); do
  case $((i % 4)) in
    1) keys+=(1); expected+=(1) ;; 2) keys+=(x); expected+=(0) ;;
    3) keys+=(o); expected+=(1) ;; 0) keys+=(2); expected+=(0) ;;
  esac
  [ "$i" -lt 50 ] && keys+=(Right)
done
e2e_key "$exam" "${keys[@]}"
e2e_shot answered
e2e_key "$exam" ctrl+Return
confirm=$(e2e_wait_window '^(Lentavo|Tomivel)$')
e2e_key "$confirm" Return
e2e_wait_window '^外免切替 模擬試験の結果$' >/dev/null
e2e_shot results

db=$data/kiroku.sqlite
[ -f "$db" ] || e2e_fail "no learning record at $db"
q() { sqlite3 -batch -noheader "$db" "$1"; }
e2e_expect "graded session" "mock-gaimen|1|50|45" \
  "$(q "SELECT kind, ended_at IS NOT NULL, max_score, pass_mark FROM sessions")"
e2e_expect "answers recorded" "50|50|0|bank|0" \
  "$(q "SELECT count(*), count(DISTINCT bango), sum(answer = -1), min(source), max(item) FROM answers")"
e2e_expect "answers as typed" "${expected[*]}" "$(q "SELECT answer FROM answers ORDER BY id" | tr '\n' ' ' | sed 's/ $//')"
seikai=$(e2e_columns "$data/mondai.cds" Bango Seikai)
score=0
stages=
while IFS='|' read -r bango answer correct; do
  right=$(printf '%s\n' "$seikai" | awk -F, -v b="$bango" '$1 == b { print $2 }')
  [ -n "$right" ] || e2e_fail "answer to $bango, which the bank does not hold"
  [ "$bango" -le 3080 ] || e2e_fail "$bango, asked in neither test, was drawn"
  [ $((bango % 4)) -ne 0 ] || e2e_fail "$bango has a figure and was drawn"
  expected_correct=0
  [ "$answer" = "$right" ] && expected_correct=1
  [ "$correct" = "$expected_correct" ] || e2e_fail "$bango: answer $answer, right $right, recorded $correct"
  score=$((score + expected_correct))
  [ "$bango" -le 3040 ] && stages+=1 || stages+=2
done < <(q "SELECT bango, answer, correct FROM answers ORDER BY id")
e2e_expect "score" "$score" "$(q "SELECT score FROM sessions")"
[[ $stages == *1* && $stages == *2* ]] || e2e_fail "statements of one stage only were drawn"
e2e_expect "bank after the mock" "$bank_before" "$(e2e_export "$data/mondai.cds")"

# The menu is still there under the results, with the third sign.
e2e_key "$(e2e_find_window '^外免切替 模擬試験の結果$')" Escape
e2e_wait_window_gone '^外免切替 模擬試験の結果$'
e2e_wait_settled 1024x768+0+0
e2e_shot menu
e2e_log "passed (score $score of 50)"
