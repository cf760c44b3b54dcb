#!/usr/bin/python3
"""Writes simulated observatory files "\\Obs\\" + code + body + ".txt" (GREN,
PARI, USNO, RADC, CAPE; bodies 0 Sun, 1 Mercury, 2 Venus, 4 Mars) for the
observation screen, from the DE405 table that Debian ships for casacore
(casacore-data-jpl-de405, read with python3-casacore) and ERFA (python3-erfa).

Usage: make-obs.py FOLDER [--force] [--noise ARCSEC] [--every DAYS] [--only NAME,...]

FOLDER is the program folder; the files go into FOLDER/Obs. Files already
there are left alone unless --force is given. --noise is the standard
deviation of the Gaussian error added to each coordinate (default 0.3
arc seconds; 0 gives the exact places), --every the mean spacing of the
records in days (default 10), --only the files to consider (GREN4,CAPE0: code
and body number; default all twenty).

Each record is the geocentric apparent place of date of the body at the
record's time, taken as TT: DE405 barycentric positions (the Earth from the
Earth-Moon barycentre and the Moon with EMRAT), the light time iterated on
the body's barycentric position, the aberration of eraAb with the Earth's
barycentric velocity, and the bias-precession-nutation matrix of eraPnm06a.
No light deflection, refraction or parallax (the observatory presets switch
the last two off). The records run from 1960 to 2059, one every DAYS days
with a random time of night; every record is marked "SIMULATED" in
columns 1-10, which the program does not read.

Record layout (columns from 1): 11-14 year, 16-17 day, 19-21 month name,
23 "-" = unused, 24-25 h, 27-28 min, 30-31 s, 33-36 1e-4 s, 43 "-" = unused,
44-45 RA h, 47-48 RA min, 50-51 RA s, 53-57 RA 1e-5 s, 69 sign of the
declination, 70-71 deg, 73-74 arcmin, 76-77 arcsec, 79-82 1e-4 arcsec.
"""
import os
import sys

TABLE = "/usr/share/casacore/data/ephemerides/DE405"
CODES = ("GREN", "PARI", "USNO", "RADC", "CAPE")
BODIES = (0, 1, 2, 4)
MONTHS = ("Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec")
# DE405 record layout: first coefficient (from 1, T1 and T2 are 1 and 2),
# coefficients per component, days per sub-interval.
LAYOUT = {"sun": (753, 11, 16), 1: (3, 14, 8), 2: (171, 10, 16), "emb": (231, 13, 16), 4: (309, 11, 32),
          "moon": (441, 13, 4)}
RECORD_DAYS = 32.0
C_KM_S = 299792.458
AU_KM = 149597870.691
EMRAT = 81.30056
FIRST_JD, LAST_JD = 2436934.5, 2473459.5  # 1.1.1960 and 1.1.2060, 0h


class Ephemeris:
    def __init__(self, np, tables):
        tb = tables.table(TABLE, ack=False)
        self.np = np
        self.t1 = np.asarray(tb.getcol("MJD")) + 2400000.5
        self.x = np.asarray(tb.getcol("x"))
        tb.close()

    def state(self, body, jd):
        """Barycentric equatorial position (km) and velocity (km/day) at jd (array)."""
        np = self.np
        first, ncoef, days = LAYOUT[body]
        rec = np.floor((jd - self.t1[0]) / RECORD_DAYS).astype(int)
        t0 = self.t1[rec]
        nsub = int(RECORD_DAYS // days)
        sub = np.minimum(np.floor((jd - t0) / days).astype(int), nsub - 1)
        tau = 2.0 * (jd - (t0 + sub * days)) / days - 1.0
        P = [np.ones_like(tau), tau]
        D = [np.zeros_like(tau), np.ones_like(tau)]
        for j in range(2, ncoef):
            P.append(2 * tau * P[j - 1] - P[j - 2])
            D.append(2 * P[j - 1] + 2 * tau * D[j - 1] - D[j - 2])
        pos = np.zeros((len(jd), 3))
        vel = np.zeros((len(jd), 3))
        base = first - 3 + sub * 3 * ncoef
        for c in range(3):
            for j in range(ncoef):
                coef = self.x[rec, base + c * ncoef + j]
                pos[:, c] += coef * P[j]
                vel[:, c] += coef * D[j]
        return pos, vel * 2.0 / days

    def earth(self, jd):
        emb, vemb = self.state("emb", jd)
        moon, vmoon = self.state("moon", jd)
        return emb - moon / (1 + EMRAT), vemb - vmoon / (1 + EMRAT)


def apparent(np, erfa, eph, body, jd):
    """Geocentric apparent right ascension (hours) and declination (degrees)."""
    e, ve = eph.earth(jd)
    s, _ = eph.state("sun", jd)
    key = "sun" if body == 0 else body
    tau = np.zeros_like(jd)
    for _ in range(4):
        p, _ = eph.state(key, jd - tau)
        tau = np.linalg.norm(p - e, axis=1) / C_KM_S / 86400.0
    p, _ = eph.state(key, jd - tau)
    d = p - e
    pnat = d / np.linalg.norm(d, axis=1)[:, None]
    v = ve / 86400.0 / C_KM_S
    em = np.linalg.norm(e - s, axis=1) / AU_KM
    bm1 = np.sqrt(1.0 - np.sum(v * v, axis=1))
    ppr = erfa.ab(pnat, v, em, bm1)
    rnpb = erfa.pnm06a(2400000.5, jd - 2400000.5)
    q = erfa.rxp(rnpb, ppr)
    ra = np.mod(np.arctan2(q[:, 1], q[:, 0]), 2 * np.pi)
    dec = np.arcsin(np.clip(q[:, 2], -1, 1))
    return ra * 12 / np.pi, np.degrees(dec)


def split(value, unit_per_top, scales):
    """A non-negative value of the top unit as integer parts: (top, a, b, frac)."""
    n = int(round(value * unit_per_top))
    parts = []
    for s in scales:
        parts.append(n % s)
        n //= s
    return [n] + parts[::-1]


def record(erfa, jd, ra_h, dec_deg):
    y, mo, d, fd = erfa.jd2cal(jd, 0.0)
    t = split(fd * 24.0, 3600 * 10000, (10000, 60, 60))
    if t[0] >= 24:  # rounding to the next day: keep the last tick of this one
        t = [23, 59, 59, 9999]
    r = split(ra_h, 3600 * 100000, (100000, 60, 60))
    r[0] %= 24
    dd = split(abs(dec_deg), 3600 * 10000, (10000, 60, 60))
    sign = "-" if dec_deg < 0 else "+"
    return ("SIMULATED %4d %2d %s  %02d %02d %02d %04d       %02d %02d %02d %05d           %s%02d %02d %02d %04d"
            % (y, d, MONTHS[mo - 1], t[0], t[1], t[2], t[3], r[0], r[1], r[2], r[3], sign, dd[0], dd[1], dd[2], dd[3]))


def main(argv):
    args = [a for a in argv[1:]]
    force = "--force" in args
    noise, every, only = 0.3, 10.0, None
    pos = []
    i = 0
    while i < len(args):
        if args[i] == "--noise":
            noise = float(args[i + 1]); i += 2
        elif args[i] == "--every":
            every = float(args[i + 1]); i += 2
        elif args[i] == "--only":
            only = set(args[i + 1].split(",")); i += 2
        elif args[i].startswith("--"):
            i += 1
        else:
            pos.append(args[i]); i += 1
    if len(pos) != 1 or every <= 0 or noise < 0:
        sys.stderr.write(__doc__)
        return 2
    folder = os.path.join(pos[0], "Obs")
    targets = []
    for ci, code in enumerate(CODES):
        for body in BODIES:
            path = os.path.join(folder, "%s%d.txt" % (code, body))
            if only is not None and "%s%d" % (code, body) not in only:
                continue
            if force or not os.path.exists(path):
                targets.append((ci, code, body, path))
    if not targets:
        return 0

    import numpy as np
    import erfa
    import casacore.tables as tables
    eph = Ephemeris(np, tables)
    os.makedirs(folder, exist_ok=True)
    for ci, code, body, path in targets:
        rng = np.random.default_rng(1000 * ci + body + 1)
        n = int((LAST_JD - FIRST_JD - 1) / every)
        # Evening hours of the observatory's longitude, a few hours either way.
        base = FIRST_JD + ci * 2.0 + every * np.arange(n)
        jd = base + rng.uniform(0.2, 0.8, n)
        jd = jd[jd < LAST_JD - 1]
        ra, dec = apparent(np, erfa, eph, body, jd)
        if noise > 0:
            sig = noise / 3600.0
            dec = dec + rng.normal(0, sig, len(jd))
            ra = ra + rng.normal(0, sig, len(jd)) / np.cos(np.radians(dec)) / 15.0
            ra = np.mod(ra, 24.0)
        lines = [record(erfa, jd[k], ra[k], dec[k]) for k in range(len(jd))]
        tmp = "%s.%d.tmp" % (path, os.getpid())
        with open(tmp, "w", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
        os.replace(tmp, path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
