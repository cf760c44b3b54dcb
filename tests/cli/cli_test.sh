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
for c in jd date elements params check run position compare ssvelocity plan; do
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

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
