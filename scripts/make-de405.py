#!/usr/bin/python3
"""Writes the JPL DE405 ephemeris in its published ASCII form, ascp1960.405 …
ascp2040.405, from the DE405 table that Debian ships for casacore
(package casacore-data-jpl-de405, read with python3-casacore).

Usage: make-de405.py FOLDER [--force]

FOLDER is the program folder. ascp1960.405 goes into FOLDER/JPL, the later
files into FOLDER/JPL/405, where the reader of the JPL imitator looks for the
files that follow the first one. Files already there are left alone unless
--force is given. Each file is written beside its target and renamed over it.

Layout of a file (the published one): records of 32 days, each a header line
"     n  1018" (record number within the file, coefficient count) and 340 lines
of three numbers in Fortran D26.18 format: the first and last Julian date of
the record, the 1016 Chebyshev coefficients, two zeros. File YYYY runs from
the record holding 1 January YYYY 0h to the record holding 1 January YYYY+20,
so neighbouring files share one record.

The casacore table holds one row per record: MJD, the start of the record, and
x, its 1018 values, which are the 1016 coefficients followed by two zeros; the
dates are rebuilt from MJD.
"""
import os
import sys

TABLE = "/usr/share/casacore/data/ephemerides/DE405"
YEARS = (1960, 1980, 2000, 2020, 2040)
RECORD_DAYS = 32.0
NCOEF = 1018
LINES = 340
# Records per file of the reader (230 for the files that start in these years).
LONG_FILES = (1680, 1760, 1820, 1900, 1980, 2040, 2120, 2180)


def jd_of_new_year(year):
    """Julian date of 1 January of a Gregorian year, 0h."""
    y = year - 1
    return 1721425.5 + 365 * y + y // 4 - y // 100 + y // 400


def d26(v):
    """A number as Fortran writes it with D26.18: 0.ddd…D±ee."""
    if v == 0.0:
        return "  0.000000000000000000D+00"
    s = "%.17e" % v
    mant, exp = s.split("e")
    neg = mant.startswith("-")
    digits = mant.lstrip("-").replace(".", "")
    e = int(exp) + 1
    return "%s0.%sD%s%02d" % (" -" if neg else "  ", digits, "-" if e < 0 else "+", abs(e))


def file_text(rows):
    out = []
    for n, (t1, coef) in enumerate(rows, start=1):
        values = [t1, t1 + RECORD_DAYS] + list(coef) + [0.0, 0.0]
        out.append("%6d%6d\n" % (n, NCOEF))
        for i in range(0, 3 * LINES, 3):
            out.append(d26(values[i]) + d26(values[i + 1]) + d26(values[i + 2]) + "\n")
    return "".join(out)


def main(argv):
    args = [a for a in argv[1:] if not a.startswith("--")]
    force = "--force" in argv[1:]
    if len(args) != 1:
        sys.stderr.write(__doc__)
        return 2
    folder = args[0]
    targets = []
    for year in YEARS:
        sub = os.path.join(folder, "JPL") if year == YEARS[0] else os.path.join(folder, "JPL", "405")
        path = os.path.join(sub, "ascp%d.405" % year)
        if force or not os.path.exists(path):
            targets.append((year, sub, path))
    if not targets:
        return 0

    import numpy as np
    import casacore.tables as tables

    tb = tables.table(TABLE, ack=False)
    mjd = np.asarray(tb.getcol("MJD"))
    x = np.asarray(tb.getcol("x"))
    tb.close()
    t1 = mjd + 2400000.5
    if x.shape[1] != NCOEF or np.any(np.diff(t1) != RECORD_DAYS) or np.any(x[:, -2:] != 0.0):
        sys.stderr.write("make-de405: unexpected layout of %s\n" % TABLE)
        return 1
    for year, sub, path in targets:
        start, end = jd_of_new_year(year), jd_of_new_year(year + 20)
        first = int((start - t1[0]) // RECORD_DAYS)        # T1 <= start < T2
        last = int(-((t1[0] - end) // RECORD_DAYS)) - 1    # T1 < end <= T2
        want = 230 if year in LONG_FILES else 229
        if first < 0 or last >= len(t1) or last - first + 1 != want:
            sys.stderr.write("make-de405: the table does not cover ascp%d.405\n" % year)
            return 1
        rows = [(t1[i], x[i, :NCOEF - 2]) for i in range(first, last + 1)]
        os.makedirs(sub, exist_ok=True)
        tmp = "%s.%d.tmp" % (path, os.getpid())
        with open(tmp, "w", newline="\n") as f:
            f.write(file_text(rows))
        os.replace(tmp, path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
