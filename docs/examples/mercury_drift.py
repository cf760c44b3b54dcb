"""400 years of Меркурий in the N-body model, the perihelion drift per
hundred years as the statistics screen fits it, and a plot of the records with
the fitted line (when matplotlib is installed).

    PYTHONPATH=build/python python3 docs/examples/mercury_drift.py [OUT.png]
"""
import sys

import numpy as np

import torvik6

model = torvik6.Model()  # JPL elements of 1.5.1.1601 with their initial data


def show(years, year, steps):
    print(f"\r{years:7.1f} model years, year {year}", end="", file=sys.stderr, flush=True)


records = torvik6.run(model, planet=1, to_year=2000, progress=show)
print(file=sys.stderr)
fit = torvik6.drift(records, element=1, group=50)
print(f"{len(records)} records; perihelion drift {fit.Drift:.1f}\" per century (limit {fit.Limit:.1f}\")")

try:
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
except ImportError:
    print("matplotlib is not installed: no plot")
    sys.exit(0)

years = 1601 + records["days"] / 365.25
plt.plot(years, records["AlfaP"], ".", markersize=2, label="AlfaP of the records")
mean = records["AlfaP"].mean() + fit.Drift / 3600 / 100 * (years - years.mean())
plt.plot(years, mean, label=f"drift {fit.Drift:.1f}\"/100 years")
plt.xlabel("year")
plt.ylabel("perihelion longitude, degrees")
plt.legend()
out = sys.argv[1] if len(sys.argv) > 1 else "mercury_drift.png"
plt.savefig(out, dpi=100)
print(f"plot {out}")
