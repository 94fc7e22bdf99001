#!/usr/bin/env bash
# A pupil's laptop with a scaled screen: 1,920 x 1,080 pixels at scale 2, which leaves 960 x 540
# logical pixels for windows laid out at 1,022 x 768. Each window must lie wholly on the screen,
# scaled down as a whole, and a drill must be answerable by clicking where the 正 button is
# actually drawn.
#
# usage: test_scaled_screen.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init scaled_screen "$1"

e2e_stage_program
data=$E2E_TMP/data
e2e_import bank 'NKaisu,Nani,Kaisu,Bango,Seikaisu,KariHon,Kaisetsu,Seikai,Zu,Mondai
0,0,0,0001,0,1,一の解説,1,,一番の問題文です。
0,0,0,0002,0,1,二の解説,0,,二番の問題文です。' "$data/mondai.cds"
e2e_import_companions "$data"

E2E_SCREEN=1920x1080x24 e2e_start_xvfb
export QT_SCALE_FACTOR=2
printf '%s' "$data/" >"$E2E_INF"
e2e_start_program "$E2E_PROG"

# window_geometry ID: sets X Y WIDTH HEIGHT (screen pixels) of the window.
window_geometry() {
  local SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
}

# on_screen ID: the window is wholly on the 1,920 x 1,080 screen and smaller than its design
# size at scale 2 (2,044 x 1,536 pixels), that is scaled down.
on_screen() {
  window_geometry "$1"
  [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ $((X + WIDTH)) -le 1920 ] && [ $((Y + HEIGHT)) -le 1080 ] &&
    [ "$WIDTH" -lt 2044 ]
}

# at DESIGN_X DESIGN_Y: the screen point of a point of the window's design layout (its client
# area 1,022 pixels wide), for the window measured last.
at() {
  awk -v x="$X" -v y="$Y" -v w="$WIDTH" -v dx="$1" -v dy="$2" \
    'BEGIN { f = w / 1022; printf "%d %d\n", x + dx * f, y + dy * f }'
}
# area DESIGN_W DESIGN_H DESIGN_X DESIGN_Y: the same for a region, as WxH+X+Y.
area() {
  awk -v x="$X" -v y="$Y" -v w="$WIDTH" -v dw="$1" -v dh="$2" -v dx="$3" -v dy="$4" \
    'BEGIN { f = w / 1022; printf "%dx%d+%d+%d\n", dw * f, dh * f, x + dx * f, y + dy * f }'
}

menu=$(e2e_wait_window "$E2E_MENU_TITLE")
e2e_poll "$E2E_TIMEOUT" on_screen "$menu" ||
  e2e_fail "the menu is not wholly on the screen: $(xdotool getwindowgeometry "$menu" | tr '\n' ' ')"
e2e_wait_settled "$(area 300 60 312 184)"
e2e_shot menu
# 仮免(簡単)に挑戦: BitBtn6 at (312, 184), 289 x 65 in the menu's layout.
e2e_click $(at 456 216)

question=$(e2e_wait_window "$E2E_QUESTION_TITLE")
e2e_poll "$E2E_TIMEOUT" on_screen "$question" ||
  e2e_fail "the question window is not wholly on the screen: $(xdotool getwindowgeometry "$question" | tr '\n' ' ')"
window_geometry "$question"
e2e_wait_settled "$(area 1000 700 0 0)"
e2e_shot question
# 正 (BitBtn3) and 次の問題 (BitBtn1) in the question window's layout, as E2E_Q_TRUE and
# E2E_Q_NEXT_AREA give them for the window at (-1, 0).
e2e_click_until_changed $(at 116 669) "$(area 185 65 344 637)" "answer 正"
e2e_shot answered
# 終了 (BitBtn5).
e2e_click $(at 914 601)
e2e_wait_window_gone "$E2E_QUESTION_TITLE"

answer=$(e2e_columns "$data/rireki.cds" Bango Seihi)
e2e_expect "history" "0001,1" "$answer"
e2e_click $(window_geometry "$menu"; at 913 341)
e2e_wait_exit
e2e_expect "exit status" 0 "$E2E_PROG_STATUS"
e2e_log "passed"
