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
for c in jd date elements params check run position compare ssvelocity observe observe-plan plan table drift drift-file points convert ellipse; do
  check "$c --help" 0 "$(status "$CLI" "$c" --help)"
done

# Options as the commands declare them: --version, --name=VALUE, unknown
# options and missing values, the help with ranges and defaults, numbers read
# as decimals, negative years as positional arguments, missing verbs.
check "--version" "torvik6-cli 6.0" "$("$CLI" --version)"
check "--name=VALUE as --name VALUE" "$("$CLI" ellipse --e1 0.3 --steps 3)" "$("$CLI" ellipse --e1=0.3 --steps=3)"
check "unknown option" "torvik6-cli ellipse: The following argument was not expected: --e3" \
  "$("$CLI" ellipse --e3 2>&1 >/dev/null)"
check "option without its value" "torvik6-cli ellipse: --e1: the option needs a value" \
  "$("$CLI" ellipse --e1 2>&1 >/dev/null)"
check "fraction for a whole number" "torvik6-cli ellipse: --steps: 2.5 is not a whole number" \
  "$("$CLI" ellipse --steps 2.5 2>&1 >/dev/null)"
check "leading zero is decimal" 11 "$("$CLI" ellipse --steps 010 | wc -l)"
check "help gives range and default" 1 "$("$CLI" run --help | grep -c -- '--planet P .*(0\.\.10, default 1)')"
check "negative year" "1684532.5" "$("$CLI" jd -100 1 1)"
check "missing verb" "torvik6-cli plan: give params, run or fit" "$("$CLI" plan 2>&1 >/dev/null)"
check "unknown option of a verb" 2 "$(status "$CLI" plan params --plan 1 --folder "$work" --sweep)"

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
check "table Alfonsine Mars 1327" "within 1'" "$("$CLI" table AlfonsoTab --body 4 --date 3.7.1327 | awk '$1=="L"{d = $2 - (134 + 52/60 + 23/3600); print (d < 1/60 && d > -1/60) ? "within 1'"'"'" : "off " d}')"
check "table three lines" 3 "$("$CLI" table Streete --body 0 --date 1.1.1620 | wc -l)"
check "table Streete Ptab 1620" "Ptab 27.853" "$("$CLI" table Streete --body 0 --date 31.12.1619 --hours 12 | awk '$1=="Ptab"{printf "Ptab %.3f", $2}')"
check "table Jupiter" 2 "$(status "$CLI" table Wing --body 5 --date 1.1.1620)"
check "table unknown" 2 "$(status "$CLI" table Ptolemy --body 0 --date 1.1.1620)"
check "table by its caption" "$("$CLI" table AlfonsoTab --body 4 --date 3.7.1327)" "$("$CLI" table Alfonso --body 4 --date 3.7.1327)"
check "table bad month" 2 "$(status "$CLI" table Wing --body 0 --date 1.13.1620)"
check "table --help" 0 "$(status "$CLI" table --help)"
# A workbook of the user's in Tab serves through LibreOffice (made here with
# openpyxl: the Sun at 150 + the day, Ptab 1.5); --builtin takes the calculator.
if [ -x /usr/lib/libreoffice/program/soffice.bin ] && /usr/bin/python3 -c 'import openpyxl, uno' 2>/dev/null; then
  mkdir -p "$work/book/Tab"
  /usr/bin/python3 -c "
import openpyxl, sys
wb = openpyxl.Workbook()
for k in range(2, 11): wb.create_sheet()
wb.active['D25'] = '=150+E14'
wb.active['G20'] = 1.5
wb.save(sys.argv[1])" "$work/book/Tab/Streete.xlsx"
  got=$("$CLI" table Streete --body 0 --date 3.1.1620 --folder "$work/book" 2>"$work/book/err" | tr '\n' ' ' | sed 's/ $//')
  check "table over a workbook" "L 153 B 0 Ptab 1.5" "$got"
  check "table over a workbook says so" "torvik6-cli table: Streete.xlsx" "$(cat "$work/book/err")"
  check "table --builtin" "L 290.8" "$("$CLI" table Streete --body 0 --date 1.1.1620 --folder "$work/book" --builtin 2>/dev/null | awk '$1=="L"{printf "L %.1f", $2}')"
fi
# Every table against modern theory over the century from its default date:
# the Almagest Sun lags by most of a degree, the Alfonsine Mars strays by
# degrees near opposition, Kepler's Mars and Streete's Sun stay within minutes.
for c in "Almagest 0 absdL 0.3 1.2" "AlfonsoTab 4 absdL 0.4 2" "AlfonsoTab 4 maxdL 2.5 10" \
         "RudolphineTables 4 absdL 0 0.2" "Streete 0 absdL 0 0.1"; do
  set -- $c
  check "observe $1 planet $2 $3 in $4..$5" yes "$("$CLI" observe --folder "$work" --table "$1" --planet "$2" \
    --years 100 --no-dr-limit --quiet | awk -v n="$3" -v lo="$4" -v hi="$5" '$1==n{print ($2>=lo && $2<=hi) ? "yes" : $2}')"
done
# Observation runs: an observatory file written on demand (simulated Mars
# places at Greenwich), reduced with the JPL elements: means of arc seconds.
check "observe without a source" 2 "$(status "$CLI" observe --folder "$work" --planet 4)"
check "observe unknown table" 2 "$(status "$CLI" observe --folder "$work" --table Ptolemy)"
check "observe bad step" 2 "$(status "$CLI" observe --folder "$work" --observatory GREN --step fast)"
check "observe bad theory" 2 "$(status "$CLI" observe --folder "$work" --observatory GREN --theory vsop)"
check "observe the Earth" 1 "$(status "$CLI" observe --folder "$work" --observatory GREN --planet 3)"
out=$("$CLI" observe --folder "$work" --observatory GREN --planet 4 --start 31.12.2059 --years 100 --et-ut \
      --files trace,param,bad --quiet 2>/dev/null)
check "observe status" 0 "$?"
check "observe result names" "NdR dLsr dBsr absdL absdB dRsr" "$(echo "$out" | awk 'NR<=6{printf "%s%s", (NR>1 ? " " : ""), $1}')"
check "observe all records accepted" "NdR 3652" "$(echo "$out" | grep '^NdR')"
check "observe mean |dL| of the JPL elements in arc seconds" yes \
  "$(echo "$out" | awk '$1=="absdL"{print ($2*3600 > 1 && $2*3600 < 120) ? "yes" : $2*3600}')"
check "observe files" 3 "$(echo "$out" | grep -c '^file ')"
check "observe parameter header" "$(printf '\r\n\xef\xeb\xe0')" \
  "$(head -c 5 "$work/Dat/Param_data.txt")"
check "observe parameter records" $((6 + 3652)) "$(wc -l < "$work/Dat/Param_data.txt")"
check "observe accepted and rejected" "accepted 3652 rejected 0" \
  "$(echo "$out" | awk '$1=="accepted"||$1=="rejected"{printf "%s%s %s", (n++ ? " " : ""), $1, $2}')"
check "observe names simulated records" "simulated yes" "$(echo "$out" | grep '^simulated')"
check "observe sample files written once" 20 "$(ls "$work/Obs" | grep -c '\.txt$')"
# A missing observatory file is reported, not made up.
err=$("$CLI" observe --folder "$work" --observatory GREN --planet 5 --quiet 2>&1 >/dev/null)
check "observe missing file" yes "$(echo "$err" | grep -q 'Не найден файл' && echo "$err" | grep -qF '\Obs\GREN5.txt' && echo yes || echo "$err")"
check "observe missing file not written" no "$([ -e "$work/Obs/GREN5.txt" ] && echo yes || echo no)"
# A table run whose every step is rejected says why.
err=$("$CLI" observe --folder "$work" --table AlBattani --planet 0 --years 2 --dr-max 0.001 --quiet 2>&1 >/dev/null)
check "observe no accepted step" yes "$(echo "$err" | grep -q 'dR >= dRmax' && echo yes || echo "$err")"

# Drift statistics of the 400-year Mercury orbit file: one NAME VALUE per line,
# the perihelion drift near the Newtonian 532"/century, the plot as PNG and SVG.
mercury="$(dirname "$0")/../data/stats/Torvik1RasB1_400y.txt"
out=$("$CLI" drift "$mercury" --element 1 --group 50 --plot "$work/fit.png")
check "drift status" 0 "$?"
check "drift names" "Drift Limit k0 k1 k2 NCP" "$(echo "$out" | cut -d' ' -f1 | tr '\n' ' ' | sed 's/ $//')"
check "drift near 532 arcsec/century" 1 "$(echo "$out" | awk '$1 == "Drift" { print ($2 > 526 && $2 < 538) }')"
check "drift plot is a PNG" "PNG" "$(head -c 4 "$work/fit.png" | tail -c 3)"
"$CLI" drift "$mercury" --element 1 --sweep --criterion sr --plot "$work/fit.svg" >/dev/null
check "sweep plot is an SVG" 1 "$(grep -c '^<svg' "$work/fit.svg")"
check "drift sweep NCP" "NCP 1106" "$("$CLI" drift "$mercury" --element 1 --sweep | grep NCP)"
check "drift too few groups" 1 "$(status "$CLI" drift "$mercury" --element 1 --group 2000)"
check "drift missing file" 1 "$(status "$CLI" drift "$work/none.txt" --element 1)"
check "drift bad criterion" 2 "$(status "$CLI" drift "$mercury" --element 1 --sweep --criterion best)"
check "drift without element" 2 "$(status "$CLI" drift "$mercury")"

# Point editing of a run file and a drift replaced in a plan drift file.
mkdir -p "$work/Plan1/Txt1"
cp "$(dirname "$0")/../data/model/Torvik1RasB1.txt" "$work/Plan1/Txt1/Torvik1RasB1.txt"
check "points delete" "24 points in \\Plan1\\Txt1\\Torvik1RasB1.txt" "$("$CLI" points delete 1 --folder "$work")"
check "points add" "25 points in \\Plan1\\Txt1\\Torvik1RasB1.txt" "$("$CLI" points add 1.5 1 1601 77.5 --folder "$work")"
check "points delete beyond the table" 1 "$(status "$CLI" points delete 99 --folder "$work")"
check "drift-file of a missing file" 1 "$(status "$CLI" drift-file show --plan 1 --folder "$work")"
printf 'h1\r\nh2\r\n' > "$work/Plan1/Torvik1RasB.dat"
for e in $(seq 1 24); do printf ' %d 0 0 0 0 0 0\r\n' "$e" >> "$work/Plan1/Torvik1RasB.dat"; done
"$CLI" drift-file set --plan 1 --experiment 3 --element 1 --value -1.2500006 --folder "$work" >/dev/null
check "drift-file set truncates" "3 -1.25 0 0 0 0 0" "$("$CLI" drift-file show --plan 1 --folder "$work" | sed -n 3p)"
check "drift-file header regenerated" 1 "$(iconv -f cp1251 -t utf-8 "$work/Plan1/Torvik1RasB.dat" | grep -c 'плана Бокса № 1  по планете № 1')"
check "drift-file without a verb" 2 "$(status "$CLI" drift-file --plan 1)"
# A missing drift file is made in its layout by set and fill; show creates nothing;
# fill names a missing orbit file, skips it and says so in its status; a damaged
# drift file is refused and stays.
empty="$work/empty"
check "drift-file show of nothing" 1 "$(status "$CLI" drift-file show --imitator JPL --folder "$empty")"
check "drift-file set on an empty folder" 0 "$(status "$CLI" drift-file set --imitator JPL --planet 1 --element 1 --value 529.6 --folder "$empty")"
check "created imitator file" "12 1 529.6 0 0 0 0 0" "$(wc -l < "$empty/JPL/TorvikNab.dat") $("$CLI" drift-file show --imitator JPL --folder "$empty" | sed -n 1p)"
fill=$("$CLI" drift-file fill --plan 1 --planet 1 --from 1 --to 2 --folder "$work" 2>/dev/null)
check "drift-file fill with a missing orbit file" 1 "$?"
check "fill names the skipped file" "2 \\Plan1\\Txt1\\Torvik1RasB2.txt skipped" "$(echo "$fill" | sed -n 3p)"
check "fill writes the drift of the statistics" "$("$CLI" drift "$work/Plan1/Txt1/Torvik1RasB1.txt" --element 1 | sed -n 1p | cut -d' ' -f2)" "$(echo "$fill" | sed -n 2p | cut -d' ' -f4)"
check "fill stored it" "$(echo "$fill" | sed -n 2p | cut -d' ' -f4 | cut -c1-8)" "$("$CLI" drift-file show --plan 1 --folder "$work" | sed -n 1p | cut -d' ' -f2 | cut -c1-8)"
head -c 100 "$work/Plan1/Torvik1RasB.dat" > "$work/Plan1/Torvik1RasB.bad" && mv "$work/Plan1/Torvik1RasB.bad" "$work/Plan1/Torvik1RasB.dat"
cp "$work/Plan1/Torvik1RasB.dat" "$work/damaged.dat"
check "fill into a damaged drift file" 1 "$(status "$CLI" drift-file fill --plan 1 --planet 1 --from 1 --to 1 --folder "$work")"
check "the damaged file stays" 0 "$(cmp -s "$work/Plan1/Torvik1RasB.dat" "$work/damaged.dat"; echo $?)"
check "fill with --from after --to" 2 "$(status "$CLI" drift-file fill --plan 1 --from 5 --to 2 --folder "$work")"
for c in drift drift-file points; do
  check "$c --help" 0 "$(status "$CLI" "$c" --help)"
done
# Plans: experiments side by side give the files of one by one; a failed
# experiment is reported and the others still run.
"$CLI" plan run --folder "$work/p1" --plan 4 --planet 1 --from 16 --to 19 --to-year 1602 --jobs 1 --run-date 10.12.2026 >/dev/null 2>&1
check "plan run --jobs 1" 0 "$?"
"$CLI" plan run --folder "$work/p2" --plan 4 --planet 1 --from 16 --to 19 --to-year 1602 --jobs 2 --run-date 10.12.2026 >/dev/null 2>&1
check "plan run --jobs 2" 0 "$?"
check "plan orbit files" 4 "$(ls "$work/p2/Plan4/Txt1" | wc -l)"
check "plan --jobs 2 files equal --jobs 1" "" "$(diff -r "$work/p1/Plan4" "$work/p2/Plan4" 2>&1)"
"$CLI" plan run --folder "$work/p3" --plan 4 --planet 1 --experiment 17 --to-year 1602 --run-date 10.12.2026 >/dev/null 2>&1
check "one experiment equals the series' file" 0 "$(cmp -s "$work/p1/Plan4/Txt1/Torvik1RasB17.txt" "$work/p3/Plan4/Txt1/Torvik1RasB17.txt"; echo $?)"
out=$("$CLI" plan run --folder "$work/p4" --plan 2 --planet 3 --from 23 --to 24 --zero 100,200,300,1 --step 10,20,30,1 --to-year 1601 --jobs 2 2>/dev/null)
check "plan with a failed experiment" 1 "$?"
check "failed experiment reported" "  experiment 24 failed: Torvik6: Задайте правильно данные" "$(echo "$out" | grep 'experiment 24 failed')"
check "the other experiment ran" 0 "$(test -s "$work/p4/Plan2/Txt3/Torvik3RasB23.txt"; echo $?)"
check "plan without --plan" 2 "$(status "$CLI" plan run --folder "$work" --planet 1)"
check "plan --jobs 0" 2 "$(status "$CLI" plan run --folder "$work" --plan 1 --jobs 0)"
check "plan --from after --to" 2 "$(status "$CLI" plan run --folder "$work" --plan 1 --from 5 --to 4)"
check "plan fit unknown test" 2 "$(status "$CLI" plan fit --folder "$work" --plan 1 --test horoscope)"

# The regression and optimum of the test X1 + X1^2, with its report.
out=$("$CLI" plan fit --folder "$work" --plan 1 --test x1+x1^2 --form Y --zero 1,1,1,1 --step 1,1,1,1 2>/dev/null)
check "plan fit optimum" "X1opt= -1.50105193635545   -0.501051" "$(echo "$out" | grep '^X1opt')"
check "plan fit report lines" 21 "$(grep -c $'\r$' "$work/Plan1/TorvikSLU.dat")"
check "plan fit without drift files" 1 "$(status "$CLI" plan fit --folder "$work" --plan 1 --planet 1,2 --elements 1,4)"
check "plan fit planet 11" 2 "$(status "$CLI" plan fit --folder "$work" --plan 1 --planet 11)"

# Statistics of the deviations: the report of 25 lines; no accepted step writes none.
"$CLI" observe --folder "$work" --table Almagest --planet 4 --years 50 --stat --quiet >/dev/null 2>&1
check "observe --stat" 0 "$?"
check "observe --stat report lines" 25 "$(grep -c $'\r$' "$work/Dat/Stat4Almagest.txt")"
check "observe --stat without accepted steps" 1 "$(status "$CLI" observe --folder "$work" --table Almagest --planet 4 --years 2 --stat --quiet)"
# The experiment series of a five-factor observation plan.
# A partial series prints its criteria but fits and saves nothing: the other
# experiments would be the template's placeholders.
out=$("$CLI" observe-plan run --folder "$work" --observatory GREN --planet 4 --plan B5 --from 42 --to 43 --start 1.1.2000 --years 5 --save --quiet 2>/dev/null)
check "observe-plan partial series with --save" 1 "$?"
check "observe-plan partial series: criteria, no coefficients" "2 0" "$(echo "$out" | grep -c '^exp ') $(echo "$out" | grep -c '^b')"
check "observe-plan partial series saves no plan file" 1 "$(test -e "$work/Obs/Plan/GREN4_1.dat"; echo $?)"
check "observe-plan listing" 51 "$(grep -c $'\r$' "$work/Dat/Plan.txt")"
# The template of a table plan at the table's own date (Egyptian, noon-based):
# the centre of the Almagest plan for Mars fits within arc minutes.
out=$("$CLI" observe-plan run --folder "$work" --table Almagest --planet 4 --plan O5 --from 43 --to 43 --years 2 \
      --criterion dL --no-dr-limit --jobs 1 --quiet 2>/dev/null)
check "observe-plan Almagest template date" yes "$(echo "$out" | awk '$1=="exp"{print ($3 < 5000) ? "yes" : $3}')"
check "observe-plan unknown plan" 2 "$(status "$CLI" observe-plan run --folder "$work" --table AlBattani --planet 4 --plan X5)"
check "observe-plan the Earth" 2 "$(status "$CLI" observe-plan run --folder "$work" --table AlBattani --planet 3 --plan O5)"
check "observe-plan --from after --to" 2 "$(status "$CLI" observe-plan run --folder "$work" --table AlBattani --planet 4 --plan O5 --from 5 --to 4)"
# Experiments side by side give the criteria, the coefficients and the plan file of one by one.
op() { "$CLI" observe-plan run --folder "$work/$1" --table AlBattani --planet 4 --plan O5 --years 10 --no-dr-limit --jobs "$2" --save --quiet 2>/dev/null | grep -v '^file'; }
out1=$(op op1 1)
out2=$(op op2 2)
check "observe-plan --jobs 2 output equals --jobs 1" "$out1" "$out2"
check "observe-plan --jobs 2 plan file equals --jobs 1" 0 "$(cmp -s "$work/op1/Tab/Plan/AlBattani4_1.dat" "$work/op2/Tab/Plan/AlBattani4_1.dat"; echo $?)"
check "observe-plan plan file" 87 "$(grep -c $'\r$' "$work/op1/Tab/Plan/AlBattani4_1.dat")"
check "observe-plan experiments and coefficients" 64 "$(echo "$out1" | grep -c '^exp \|^b')"
check "observe-plan --jobs 0" 2 "$(status "$CLI" observe-plan run --folder "$work" --table AlBattani --planet 4 --plan O5 --jobs 0)"
# The four-of-five optimum of the saved plan: the held factor keeps the file's 0.
opt() { "$CLI" observe-plan optimize --folder "$work/op1" --table AlBattani --planet 4 "$@"; }
out=$(opt --hold 5 2>/dev/null)
check "observe-plan optimize --hold 5" "X5opt= 0" "$(echo "$out" | grep '^X5opt' | cut -c1-8)"
check "observe-plan optimize report ends with the optimum" "$(echo "$out" | grep '^X[1-5]opt' | awk '{print $2}' | xargs)" \
  "$(tail -1 "$work/op1/Dat/TorvikSLU.txt" | tr -d '\r' | xargs)"
out=$(opt --hold all --save 2>/dev/null)
check "observe-plan optimize --hold all" 0 "$?"
check "observe-plan optimize saves the coded optimum" "$(echo "$out" | awk '/^X4opt/ {printf "%d", $2 * 1000000}')" \
  "$(sed -n 83p "$work/op1/Tab/Plan/AlBattani4_1.dat" | awk '{print $2}')"
check "observe-plan optimize --hold 6" 2 "$(status opt --hold 6)"
check "observe-plan optimize --hold x" 2 "$(status opt --hold x)"
check "observe-plan optimize --start-opt of two" 2 "$(status opt --hold 1 --start-opt 1,2)"
check "observe-plan optimize without a plan file" "Torvik6: Ошибка чтения данных из файла \Tab\Plan\AlBattani4_9.dat" \
  "$(opt --hold 1 --plan-no 9 2>&1 >/dev/null)"
check "observe-plan optimize without a plan file status" 1 "$(status opt --hold 1 --plan-no 9)"

# Damaged files are refused with the read message and status 1, never read
# as other numbers (the damage is made here from files the program wrote).
ob="$work/ob"
obs() { "$CLI" observe --folder "$ob" --observatory GREN --planet 4 --start 31.12.2059 --years 5 --et-ut --no-dr-limit --quiet "$@"; }
# The means alone: a Cyrillic letter in column 1 also hides the "SIMULATED" mark.
means() { grep -E '^(NdR|dLsr|dBsr|absdL|absdB|dRsr|accepted|rejected) '; }
good=$(obs 2>/dev/null | means)
check "observe sound file" 0 "$?"
obsfile="$ob/Obs/GREN4.txt"
cp "$obsfile" "$work/GREN4.good"
damage() { cp "$work/GREN4.good" "$obsfile"; python3 - "$obsfile" "$1" <<'PY'
import sys
p, kind = sys.argv[1], sys.argv[2]
b = open(p, 'rb').read()
L = b.split(b'\r\n')[:-1]
n = next(i for i, l in enumerate(L) if 2055 <= int(l[10:14]) <= 2059)  # a line the run reads
def col(l, first, text): return l[:first - 1] + text + l[first - 1 + len(text):]
if kind == 'year': L[n] = col(L[n], 11, b'abcd')
if kind == 'minute': L[n] = col(L[n], 27, b'75')
if kind == 'day': L[n] = col(L[n], 16, b'45')
if kind == 'dec': L[n] = col(L[n], 70, b'95')
if kind == 'frac': L[n] = col(L[n], 53, b'1e300')
if kind == 'cyrillic': L = [b'\xd1' + l[1:] for l in L]
if kind == 'note': L = [col(l, 59, b'\xef\xf0\xe8\xec') for l in L]
out = b'\r\n'.join(L) + b'\r\n'
if kind == 'cr': out = out.replace(b'\r\n', b'\r')
if kind == 'empty': out = b''
open(p, 'wb').write(out)
PY
}
for k in year minute day dec frac; do
  damage $k
  out=$(obs 2>&1 >/dev/null)
  check "observe refuses the $k damage" "1 Torvik6: Ошибка чтения данных из файла \\Obs\\GREN4.txt" "$? $(echo "$out" | tail -1)"
done
for k in cyrillic note cr; do
  damage $k
  check "observe reads the file with $k" "$good" "$(obs 2>/dev/null | means)"
done
damage empty
check "observe of an empty file" 1 "$(status obs)"
# A plan from runs that failed is neither fitted nor saved, in workers and in
# one process; a worker whose run failed exits non-zero.
damage year
opr() { "$CLI" observe-plan run --folder "$ob" --observatory GREN --planet 4 --plan O5 --start 31.12.2059 --years 5 --save --quiet "$@"; }
out=$(opr --jobs 2 2>/dev/null)
check "observe-plan run of failed experiments, 2 workers" "1 0" "$? $(echo "$out" | grep -c '^b')"
check "observe-plan run of failed experiments, one process: status" 1 "$(status opr --jobs 1)"
check "observe-plan run: no plan file from failed experiments" 1 "$(test -e "$ob/Obs/Plan/GREN4_1.dat"; echo $?)"
check "observe-plan worker of a failed experiment" 1 "$(status opr --experiment 1)"
cp "$work/GREN4.good" "$obsfile"
# A full disk (here the file size limit): the write message names the file,
# and the file ends after a whole record.
out=$( (ulimit -f 16; trap '' XFSZ; obs --files param) 2>&1 >/dev/null)
check "observe on a full disk" "Torvik6.0: Ошибка записи данных в файл \\Dat\\Param_data.txt" "$(echo "$out" | tail -1)"
check "observe on a full disk: whole records" "0d0a" "$(tail -c 2 "$ob/Dat/Param_data.txt" | od -An -tx1 | tr -d ' ')"

# Run files: a cut last number and a junk record are refused; a rewrite keeps
# to a file without write permission.
rf="$work/p1/Plan4/Txt1/Torvik1RasB16.txt"
drift() { "$CLI" drift "$1" --element 6 --group 1 >/dev/null 2>&1; echo $?; }
check "drift of a sound run file" 0 "$(drift "$rf")"
head -c -5 "$rf" > "$work/cut.txt"
check "drift of a run file cut in its last number" 1 "$(drift "$work/cut.txt")"
{ cat "$rf"; printf ' 1  2  3  4  5  6  7  8\r\n'; } > "$work/junk.txt"
check "drift of a run file with a junk record" 1 "$(drift "$work/junk.txt")"
chmod 444 "$rf"
cp "$rf" "$work/before.txt"
out=$("$CLI" points delete 2 --folder "$work/p1" --plan 4 --planet 1 --experiment 16 2>&1)
check "points delete on a read-only file" "1 Torvik6: Ошибка записи данных в файл \\Plan4\\Txt1\\Torvik1RasB16.txt" "$? $(echo "$out" | tail -1)"
check "the read-only file stays as it was" "0 444" "$(cmp -s "$rf" "$work/before.txt"; echo $?) $(stat -c %a "$rf")"
chmod 644 "$rf"
# A run whose orbit file cannot be written names the file.
mkdir -p "$work/ro" && "$CLI" run --folder "$work/ro" --orbit-file --to-year 1601 --quiet >/dev/null 2>&1
rm -f "$work/ro/Plan0/Txt1/Torvik1RasB1.txt" && mkdir "$work/ro/Plan0/Txt1/Torvik1RasB1.txt"
check "run with an unwritable orbit file" "Torvik6: Ошибка записи данных в файл \\Plan0\\Txt1\\Torvik1RasB1.txt" \
  "$("$CLI" run --folder "$work/ro" --orbit-file --to-year 1601 --quiet 2>&1 >/dev/null | tail -1)"

# Drift files of a fixed layout: a decimal comma or a repeated line is refused.
df="$work/df"; mkdir -p "$df/JPL"
nab() { { printf 'Обработанные данные  \\JPL  по всем планетам\r\n№ планеты\r\n' | iconv -f utf-8 -t cp1251
  for k in 1 2 3 4 5 6 7 8 9 10; do printf ' %d             %d000         2000          3000          4000          5000          6000 \r\n' $k $k; done; } > "$df/JPL/TorvikNab.dat"; }
show() { "$CLI" drift-file show --imitator JPL --folder "$df" >/dev/null 2>&1; echo $?; }
nab
check "drift-file show of a sound file" 0 "$(show)"
sed -i '8s/ 6000 / 60,00 /' "$df/JPL/TorvikNab.dat"
check "drift-file show with a decimal comma" 1 "$(show)"
nab; sed -i '8p' "$df/JPL/TorvikNab.dat"
check "drift-file show with a repeated line" 1 "$(show)"
check "drift-file set refuses to rewrite it" 1 "$(status "$CLI" drift-file set --imitator JPL --folder "$df" --planet 10 --element 6 --value 1)"
nab; sed -i '8s/ 6000 / 1E+308 /' "$df/JPL/TorvikNab.dat"
check "drift-file show with 1e308" 1 "$(show)"
# Plots through Cairo: the format by the extension; a PNG whose chunks and
# compressed rows a second decoder (Python's zlib) accepts.
png_size() {  # prints WIDTHxHEIGHT of a valid PNG
  python3 - "$1" <<'PY'
import struct, sys, zlib
d = open(sys.argv[1], 'rb').read()
assert d[:8] == b'\x89PNG\r\n\x1a\n'
i, idat = 8, b''
while i < len(d):
    n, t = struct.unpack('>I4s', d[i:i + 8])
    body = d[i + 8:i + 8 + n]
    assert zlib.crc32(t + body) == struct.unpack('>I', d[i + 8 + n:i + 12 + n])[0]
    if t == b'IHDR':
        w, h, depth, colour = struct.unpack('>IIBB', body[:10])
    if t == b'IDAT':
        idat += body
    i += 12 + n
assert depth == 8 and len(zlib.decompress(idat)) == h * (1 + {2: 3, 6: 4}[colour] * w)
print('%dx%d' % (w, h))
PY
}
check "drift plot decodes" "739x175" "$(png_size "$work/fit.png")"
# (the fit line, too wide for the plot, is set on two lines clear of the points)
check "drift plot a ninth of the uncompressed PNG" 1 "$(( $(wc -c < "$work/fit.png") <= 388243 / 9 ))"
"$CLI" drift "$mercury" --element 1 --group 50 --plot "$work/fit.PDF" >/dev/null
check "drift plot as PDF" "%PDF-" "$(head -c 5 "$work/fit.PDF")"
check "drift plot of an unknown format" 2 "$(status "$CLI" drift "$mercury" --element 1 --plot "$work/fit.gif")"
check "drift plot into a missing folder" 1 "$(status "$CLI" drift "$mercury" --element 1 --plot "$work/none/fit.png")"
alm() { "$CLI" observe --folder "$work/obsplot" --table Almagest --planet 1 --years 10 --quiet "$@"; }
out=$(alm --plot "$work/dev.png")
check "observe plot status" 0 "$?"
check "observe plot named" "file $work/dev.png" "$(echo "$out" | tail -n 1)"
check "observe plot decodes" "540x170" "$(png_size "$work/dev.png")"
alm --plot "$work/dev.svg" >/dev/null
check "observe plot as SVG" "540px 170px" "$(python3 -c 'import sys, xml.etree.ElementTree as E
r = E.parse(sys.argv[1]).getroot(); print(r.get("width"), r.get("height"))' "$work/dev.svg")"
alm --plot "$work/dev.pdf" >/dev/null
check "observe plot as PDF" "%PDF-" "$(head -c 5 "$work/dev.pdf")"
check "observe plot of an unknown format" 2 "$(status alm --plot "$work/dev.bmp")"
check "observe plot into a missing folder" 1 "$(status alm --plot "$work/none/dev.png")"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
