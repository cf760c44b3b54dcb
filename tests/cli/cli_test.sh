#!/usr/bin/env bash
# End-to-end checks of torvik6-cli: what each command prints, the files it
# writes and its exit statuses. Usage: cli_test.sh PATH/TO/torvik6-cli
set -u
CLI=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0

check() {  # check NAME WANT GOT
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); printf 'FAIL %s\n  want: %s\n  got:  %s\n' "$1" "$2" "$3"; fi
}
status() { "$@" >/dev/null 2>&1; echo $?; }

# Dates: the JD alone on one line, and back.
check "jd J2000" "2451545" "$("$CLI" jd 2000 1 1.5)"
check "jd start-up date" "2305814" "$("$CLI" jd 1601 1 1.5)"
check "date J2000" "2000 1 1.5" "$("$CLI" date 2451545)"

# Bad arguments: a message on stderr and status 2; --help succeeds.
check "jd non-numeric month" 2 "$(status "$CLI" jd 2000 x 1)"
check "jd missing day" 2 "$(status "$CLI" jd 2000 1)"
check "date non-numeric" 2 "$(status "$CLI" date abc)"
check "elements unknown theory" 2 "$(status "$CLI" elements --theory ptolemy --jd 2451545)"
check "run non-numeric step" 2 "$(status "$CLI" run --folder "$work" --step fast)"
check "unknown command" 2 "$(status "$CLI" horoscope)"
check "no message on stdout for bad args" "" "$("$CLI" jd 2000 x 1 2>/dev/null)"
for c in jd date elements params check run position compare ssvelocity; do
  check "$c --help" 0 "$(status "$CLI" "$c" --help)"
done

# Elements: nine bodies after the header line.
check "elements rows" 10 "$("$CLI" elements --theory newcomb --jd 2415020 | wc -l)"

# A parameter file saved, then loaded back: the same grid.
"$CLI" params --folder "$work" --save 7 >/dev/null 2>&1
check "parameter file written" 0 "$(test -f "$work/torvik7.dat"; echo $?)"
check "parameter file has 15 CR LF lines" 15 "$(grep -c $'\r$' "$work/torvik7.dat")"
want=$("$CLI" params --folder "$work" --show initial)
got=$("$CLI" params --folder "$work" --load file 7 --show initial)
# The file keeps velocities to 1 µm/s, so the velocity rows come back as shown.
check "velocities after file load" "$(echo "$want" | grep '^V')" "$(echo "$got" | grep '^V')"
check "missing parameter file" 1 "$(status "$CLI" params --folder "$work" --load file 99)"

# Positions from the element theory and the position library.
check "position from the Newcomb theory" 0 "$(status "$CLI" position --folder "$work" --source new --planet 3 --jd 2451545)"
check "position from the APC library" 0 "$(status "$CLI" position --folder "$work" --source apc --planet 1 --jd 2451545)"
check "position of an unknown source" 2 "$(status "$CLI" position --folder "$work" --source ptolemy --planet 1 --jd 2451545)"

# The orbit check refuses the Sun.
check "check of the Sun" 1 "$(status "$CLI" check --planet 0)"

# A short model run writes its orbit file under Plan0.
"$CLI" run --folder "$work" --to-year 1605 --orbit-file --quiet --run-date 10.12.2026 >/dev/null 2>&1
rc=$?
check "short run status" 0 "$rc"
check "orbit file of Mercury" 0 "$(test -s "$work/Plan0/Txt1/Torvik1RasB1.txt"; echo $?)"

# Bad input never crashes, hangs or passes for a result: a malformed or absurd
# option exits 2 and names the option, before anything is written.
while IFS= read -r args; do
  # shellcheck disable=SC2086
  check "$args" 2 "$(status timeout 60 "$CLI" $args --folder "$work/bad")"
done <<'CASES'
position --source jpl --planet 1 --jd -1e30
position --source jpl --planet 1 --jd 1e30
compare --planet 1 --jd 1e300
elements --theory jpl --jd nan
date 1e30
jd 2147483647 1 1
run --to-year 2147483647
run --to-year -2147483648 --orbit-file
run --step 1e20
run --imitator apc --step 1e308
run --steps 3000 --nout 2147483647
run --to-year 1500
run --vsys 1,2
check --planet 1 --step abc
check --planet 1 --step 3600/0
params --save abc
params --load file
params --load file x
params --date 40.13.1900
params --date 1.5.1.2147483647
ssvelocity 1 --mv 1e300
CASES
check "empty --folder" 2 "$(status "$CLI" run --folder "")"
check "the message names the option" "torvik6-cli check: --step: abc is not a number" \
  "$("$CLI" check --step abc 2>&1 >/dev/null)"
check "nothing written for a bad option" 1 "$(test -e "$work/bad"; echo $?)"

# Damaged parameter files are read errors (exit 1), checked before the DE405
# files of the JPL imitator are made.
data=$(cd "$(dirname "$0")/../data/params" && pwd)
for f in "$data"/R*.dat; do
  name=$(basename "$f" .dat)
  rm -rf "$work/p" && mkdir -p "$work/p" && cp "$f" "$work/p/torvik7.dat"
  check "parameter file $name" 1 "$(status timeout 60 "$CLI" run --params 7 --steps 3000 --quiet --folder "$work/p")"
  check "parameter file $name, JPL imitator" 1 \
    "$(status timeout 60 "$CLI" run --params 7 --steps 3000 --quiet --imitator jpl --folder "$work/p")"
done
check "no DE405 files made for a bad parameter file" 1 "$(test -e "$work/p/JPL/ascp1960.405"; echo $?)"

# A fresh program folder: the command that writes creates the folder tree.
check "params --save into a fresh folder" 0 \
  "$(status "$CLI" params --load jpl --date 1.5.1.1960 --save 5 --folder "$work/fresh")"
check "parameter file in the fresh folder" 0 "$(test -f "$work/fresh/torvik5.dat" && test -d "$work/fresh/Plan0/Txt1"; echo $?)"

# --steps stops at exactly N, whatever the batch size.
check "run stops at --steps" "steps 2500," \
  "$("$CLI" run --folder "$work" --to-year 0 --steps 2500 --nout 1000 --quiet | grep -o '^steps [0-9]*,')"

# Progress into a file: whole lines, no carriage returns, the last at the end.
"$CLI" run --folder "$work" --to-year 0 --steps 3000 --nout 1000 >/dev/null 2>"$work/progress.txt"
check "progress lines in a file" 1 "$(grep -c 'model years' "$work/progress.txt" | awk '{print ($1 >= 1)}')"
check "no carriage return in the progress file" 0 "$(grep -c $'\r' "$work/progress.txt")"

# The coordinate converter: identity, the horizon refused, bad systems.
check "convert identity" "to 1000000 0 1000 0 0.057295 1000000.5" \
  "$("$CLI" convert --from helio/ecl/date/cart --to helio/ecl/date/cart --coords 1000000,0,1000 | grep '^to')"
check "convert horizon of a geocentric system" 1 "$(status "$CLI" convert --from helio/ecl/date/polar --to geo/hor/date/polar --body 4)"
check "convert unknown plane" 2 "$(status "$CLI" convert --from helio/gal/date/polar --to geo/equ/date/polar --body 4)"
check "convert body and coords" 2 "$(status "$CLI" convert --from helio/ecl/date/polar --to geo/equ/date/polar --body 4 --coords 1,2,3)"
check "convert Moon" 0 "$(status "$CLI" convert --from geo/ecl/date/polar --to topo/hor/date/polar --body 10 --et-ut)"

# The ellipse comparison: the start on the aphelion axis; circles agree.
check "ellipse at T = 0" "0 0 0 0 180000 210000 -30000" "$("$CLI" ellipse --steps 1 | sed -n 2p)"
check "ellipse circles" "0" "$("$CLI" ellipse --e1 0 --e2 0 --model equant --steps 50 | awk 'NR > 1 && ($4 != 0 || $7 != 0)' | wc -l)"
check "ellipse bad model" 2 "$(status "$CLI" ellipse --model ptolemy)"
for c in convert ellipse; do
  check "$c --help" 0 "$(status "$CLI" "$c" --help)"
done

# Historic tables: the Alfonsine Mars of 3 July 1327 (134;52,23 in the
# literature) and Streete's precession; bodies the tables lack and bad dates.
check "table Alfonsine Mars 1327" "L 134.87" "$("$CLI" table AlfonsoTab --body 4 --date 3.7.1327 | awk '$1=="L"{printf "L %.2f", $2}')"
check "table three lines" 3 "$("$CLI" table Streete --body 0 --date 1.1.1620 | wc -l)"
check "table Streete Ptab 1620" "Ptab 27.853" "$("$CLI" table Streete --body 0 --date 31.12.1619 --hours 12 | awk '$1=="Ptab"{printf "Ptab %.3f", $2}')"
check "table Jupiter" 2 "$(status "$CLI" table Wing --body 5 --date 1.1.1620)"
check "table unknown" 2 "$(status "$CLI" table Ptolemy --body 0 --date 1.1.1620)"
check "table bad month" 2 "$(status "$CLI" table Wing --body 0 --date 1.13.1620)"
check "table --help" 0 "$(status "$CLI" table --help)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
