#!/usr/bin/env bash
# `scripts/run.sh --school`: the trainer as a school PC runs it, against a throwaway school
# server made for this run: a PostgreSQL cluster in a temporary folder (no TCP, removed at the
# end), three sample pupils and the bundled sample bank. The program starts at the sign-in; the
# pupils' numbers and PINs are printed first. Nothing of a real pupil is touched: the pupils'
# working folders live in the temporary folder too.
#
# Without a display it signs the first pupil in under Xvfb instead and saves screenshots of the
# sign-in and the menu under BUILD_DIR/screenshots/school/.
#
#   scripts/run-school.sh BUILD_DIR     (BUILD_DIR holds lentavo, tabletool and sample/)
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
pgcluster=$root/tests/school/pgcluster.sh

# Short, for the server's socket path.
tmp=$(mktemp -d /tmp/lentavo-school.XXXXXX)
# Run as root, the server runs as the postgres user, who must reach its folder inside.
chmod 755 "$tmp"
pg=$tmp/pg
stop_server() { "$pgcluster" stop "$pg" >/dev/null 2>&1 || true; rm -rf "$tmp"; }
trap stop_server EXIT
echo "Starting a throwaway school server in $pg ..."
owner=$("$pgcluster" start "$pg")
"$build/tabletool" school init --db "$owner" >/dev/null
cat >"$tmp/roster.csv" <<'CSV'
教習生番号,氏名,ふりがな,PIN
1001,山田 花子,やまだ はなこ,1111
1002,佐藤 健,さとう けん,2222
1003,グエン ヴァン アン,ぐえん ばん あん,3333
CSV
"$build/tabletool" school pupils import "$tmp/roster.csv" --db "$owner" >/dev/null
"$build/tabletool" school bank push "$build/sample" --db "$owner" >/dev/null
# The PC logs in as a member of lentavo_pc, as a school's PCs do.
psql -X -q -v ON_ERROR_STOP=1 "$owner" -c "CREATE ROLE lentavo_pc_demo LOGIN IN ROLE lentavo_pc" >/dev/null

mkdir -p "$tmp/prog" "$tmp/home"
cp "$build/lentavo" "$tmp/prog/lentavo"
printf '# the throwaway school server of scripts/run.sh --school\n%s user=lentavo_pc_demo\n' "$owner" \
  >"$tmp/prog/Lentavo.school"

cat <<'TEXT'

Sample pupils (教習生番号 / PIN):
  1001  山田 花子          PIN 1111
  1002  佐藤 健            PIN 2222
  1003  グエン ヴァン アン  PIN 3333

TEXT

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # The working folders go with the server.
  XDG_DATA_HOME=$tmp/home/data "$tmp/prog/lentavo" || true
  exit 0
fi

echo "No X display is available, so the trainer cannot open its windows here."
echo "Signing pupil 1001 in under Xvfb instead, with screenshots of the sign-in and the menu."
source "$root/tests/e2e/lib.sh"
E2E_KEEP_SHOTS=1
e2e_init school-demo "$build" "$build/screenshots/school"
trap 'status=$?; stop_server; (exit $status); e2e_cleanup' EXIT
e2e_start_xvfb
e2e_start_program "$tmp/prog/lentavo"
signin=$(e2e_wait_window '^ログイン$')
eval "$(xdotool getwindowgeometry --shell "$signin")"
e2e_wait_settled "${WIDTH}x${HEIGHT}+${X}+${Y}"
e2e_shot sign-in
e2e_key "$signin" 1 0 0 1 Tab 1 1 1 1 Return
e2e_wait_placed '^学科練習システム — 山田 花子 \(1001\)$' -2 0 1022 768 >/dev/null
e2e_wait_settled 1022x768+0+0
e2e_shot menu
e2e_click "${E2E_MENU_QUIT[@]}"
e2e_wait_exit
