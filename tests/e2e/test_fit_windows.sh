#!/usr/bin/env bash
# A pupil's 1,920 x 1,080 screen at scale 2 (960 x 540 logical pixels) with a window manager
# that frames every window with a title bar: the menu, the 本免 mock, the enlarged figure and the
# results each have their whole frame on the screen, as the window manager reports it. A hazard
# item is answered by clicking its (3) buttons where they are drawn, the paper is graded, and the
# results' two buttons are clicked: the practice of the missed questions starts, and closing it
# comes back to the results.
#
# usage: test_fit_windows.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init fit_windows "$1"
for tool in openbox xwininfo xprop sqlite3; do
  command -v "$tool" >/dev/null || e2e_fail "$tool is not installed (scripts/packages.sh installs it)"
done
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

e2e_stage_program
data=$E2E_TMP/data
mkdir -p "$data"
"$E2E_TABLETOOL" import --layout bank "$source_dir/sample/questions.csv" "$data/mondai.cds" >/dev/null
"$E2E_TABLETOOL" import --layout hazard "$source_dir/sample/hazard.csv" "$data/kiken.cds" >/dev/null
e2e_import_companions "$data"

# find NAME_REGEX: the client window of that name (a framed window is a grandchild of the root).
find_client() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
client_shown() { [ -n "$(find_client "$1")" ]; }
client_gone() { ! client_shown "$1"; }
wait_client() {
  e2e_poll "$E2E_TIMEOUT" client_shown "$1" || e2e_fail "no window named '$1' appeared"
  find_client "$1"
}
wait_client_gone() { e2e_poll "$E2E_TIMEOUT" client_gone "$1" || e2e_fail "$2"; }
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }

# client ID: sets CX CY CW CH, the client area in screen pixels.
client() {
  local info
  info=$(xwininfo -id "$1")
  CX=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  CY=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  CW=$(sed -n 's/.*Width: *//p' <<<"$info")
  CH=$(sed -n 's/.*Height: *//p' <<<"$info")
}

# frame ID: sets FRAME to "X Y W H", the frame as the window manager draws it around the client.
frame() {
  local l r t b
  client "$1"
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ',')
  [ -n "${b:-}" ] || return 1
  [ "$t" -gt 0 ] || return 1   # not framed yet
  FRAME="$((CX - l)) $((CY - t)) $((CW + l + r)) $((CH + t + b))"
}

frame_on_screen() {
  frame "$1" || return 1
  local x y w h
  read -r x y w h <<<"$FRAME"
  [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1920 ] && [ $((y + h)) -le 1080 ]
}

expect_on_screen() {
  e2e_poll "$E2E_TIMEOUT" frame_on_screen "$1" || e2e_fail "$2: the frame is not on the screen ($FRAME)"
  e2e_log "$2: frame $FRAME"
}

# box COLOUR [REGION]: the bounding box "X Y W H" of the pixels of exactly COLOUR in the last
# screenshot (within REGION, WxH+X+Y, when given); false when there are none.
box() {
  local crop=() geometry
  [ -n "${2:-}" ] && crop=(-crop "$2")
  geometry=$(convert "$E2E_LAST_SHOT" "${crop[@]}" -fill black +opaque "$1" -fill white -opaque "$1" \
             -format '%@' info: 2>/dev/null)
  [[ $geometry =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
  local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]} ox=0 oy=0
  [ "$w" -gt 2 ] || return 1
  [[ ${2:-} =~ \+([0-9]+)\+([0-9]+)$ ]] && ox=${BASH_REMATCH[1]} oy=${BASH_REMATCH[2]}
  echo "$((x + ox)) $((y + oy)) $w $h"
}

# buttons_in_row Y X0 X1: the runs of pixels "LEFT RIGHT" on screen row Y between X0 and X1 that
# differ from the window's background (the colour at X1), from right to left: push buttons.
buttons_in_row() {
  import -window root -crop "$(($3 - $2 + 1))x1+$2+$1" +repage txt:- 2>/dev/null |
    awk -v x0="$2" 'NR > 1 { split($1, p, /[,:]/); c[p[1]] = $3; n = p[1] }
      END { bg = c[n]; inside = 0
            for (i = n; i >= 0; i--) {
              if (c[i] != bg) { if (!inside) { right = i; inside = 1 } last = i; gap = 0 }
              else if (inside && ++gap > 6) { if (right - last > 60) print x0 + last, x0 + right; inside = 0 }
            }
            if (inside && right - last > 60) print x0 + last, x0 + right }'
}

E2E_SCREEN=1920x1080x24 e2e_start_xvfb
openbox --sm-disable >"$E2E_TMP/wm.log" 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true; e2e_cleanup' EXIT
e2e_poll "$E2E_TIMEOUT" wm_running ||
  e2e_fail "the window manager did not start: $(cat "$E2E_TMP/wm.log")"
export QT_SCALE_FACTOR=2
printf '%s' "$data/" >"$E2E_INF"
e2e_start_program "$E2E_PROG"

menu=$(wait_client '^学科練習システム$')
expect_on_screen "$menu" "menu"
client "$menu"
e2e_wait_settled "$((CW / 2))x$((CH / 4))+$CX+$CY"
e2e_shot menu
# 本免 模擬試験: MockHonmenButton (820, 152, 196 x 66) in the menu's 1,022-pixel layout.
e2e_click $((CX + 918 * CW / 1022)) $((CY + 185 * CW / 1022))

exam=$(wait_client '^本免 模擬試験$')
expect_on_screen "$exam" "exam"
# To the first hazard item (the paper's 91st question): parts (1) and (2) answered 正 by keys,
# which leaves (3) highlighted.
keys=()
for _ in $(seq 1 90); do keys+=(Right); done
e2e_key "$exam" "${keys[@]}" 1 1
sleep 0.5
client "$exam"
e2e_wait_settled "$((CW / 2))x$((CH / 2))+$CX+$((CY + CH / 2))"
e2e_shot hazard
# The checked 正 buttons of (1) and (2) give the 正 column; the highlighted text of (3), below
# them, gives its row.
read -r bx by bw bh < <(box '#1f5fbf') || e2e_fail "no checked 正 button of parts (1) and (2)"
read -r hx hy hw hh < <(box '#fff3c0' "$((bx - CX))x$((CY + CH - by - bh))+$CX+$((by + bh))") ||
  e2e_fail "no highlighted part (3) below parts (1) and (2)"
row=$((hy + hh / 2))
true3=$((bx + bw / 2))
false3=$((bx + bw + bw / 2 + 8))
e2e_log "part (3): 正 at $true3,$row, 誤 at $false3,$row"
e2e_click_until_changed "$true3" "$row" "$((bw / 2))x$((bh / 6))+$((bx + bw / 4))+$((row - bh / 12))" "click (3) 正"
e2e_click_until_changed "$false3" "$row" "$((bw / 2))x$((bh / 6))+$((bx + bw / 4))+$((row - bh / 12))" "click (3) 誤"
e2e_shot answered

# The enlarged figure (Z), on the screen, closed by Esc.
e2e_key "$exam" z
figure=$(wait_client '^図')
expect_on_screen "$figure" "enlarged figure"
e2e_shot enlarged
e2e_key "$figure" Escape
wait_client_gone '^図' "Esc did not close the enlarged figure"

e2e_key "$exam" ctrl+Return
confirm=$(wait_client '^(Lentavo|Tomivel)$')
expect_on_screen "$confirm" "grading question"
e2e_key "$confirm" Return
results=$(wait_client '^本免 模擬試験の結果$')
expect_on_screen "$results" "results"
client "$results"
e2e_wait_settled "$((CW / 2))x$((CH / 4))+$((CX + CW / 2))+$((CY + CH * 3 / 4))"
e2e_shot results

db=$data/kiroku.sqlite
q() { sqlite3 -batch -noheader "$db" "$1"; }
hazard=$(q "SELECT bango FROM answers WHERE source = 'hazard' ORDER BY id LIMIT 1")
e2e_expect "the first hazard item's answers, (3) as clicked last" "1|1
2|1
3|0" "$(q "SELECT item, answer FROM answers WHERE source = 'hazard' AND bango = '$hazard' ORDER BY item")"

# The results' buttons, right to left in the bottom row: 閉じる, then 間違えた問題を練習する.
button_row=$((CY + CH - 1))
for y in $(seq $((CY + CH - 4)) -2 $((CY + CH - 120))); do
  if [ "$(buttons_in_row "$y" "$((CX + CW / 2))" "$((CX + CW - 2))" | wc -l)" -ge 2 ]; then button_row=$y; break; fi
done
mapfile -t buttons < <(buttons_in_row "$((button_row - 16))" "$((CX + CW / 2))" "$((CX + CW - 2))")
[ "${#buttons[@]}" -ge 2 ] || e2e_fail "the results' buttons were not found in their row"
read -r pl pr <<<"${buttons[1]}"
e2e_click $(((pl + pr) / 2)) $((button_row - 16))
practice=$(wait_client '^練習$')
expect_on_screen "$practice" "practice of the missed questions"
e2e_shot practice
# Closing the practice set ends it and comes back to the results, explanations and all.
# The window manager's close (its close box's action).
e2e_key "$practice" alt+F4
message=$(wait_client '^(Lentavo|Tomivel)$')
e2e_key "$message" Return
results=$(wait_client '^本免 模擬試験の結果$')
expect_on_screen "$results" "results after the practice"
e2e_shot back-to-results
client "$results"
read -r cl cr <<<"${buttons[0]}"
e2e_click $(((cl + cr) / 2)) $((button_row - 16))
wait_client_gone '^本免 模擬試験の結果$' "閉じる did not close the results"
e2e_log "passed"
