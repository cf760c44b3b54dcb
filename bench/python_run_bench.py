"""A run through the Python module against the same run of torvik6-cli:
30 model years of Меркурий with the defaults, the best of five of each, in turn.

    PYTHONPATH=build/python python3 bench/python_run_bench.py build/torvik6-cli
"""
import subprocess
import sys
import tempfile
import time

import torvik6

cli = sys.argv[1] if len(sys.argv) > 1 else "build/torvik6-cli"
model = torvik6.Model()
best_py = best_cli = float("inf")
with tempfile.TemporaryDirectory() as folder:
    for _ in range(5):
        t = time.perf_counter()
        torvik6.run(model, planet=1, to_year=1630)
        best_py = min(best_py, time.perf_counter() - t)
        t = time.perf_counter()
        subprocess.run([cli, "run", "--folder", folder, "--planet", "1", "--to-year", "1630", "--orbit-file",
                        "--quiet"], check=True, stdout=subprocess.DEVNULL)
        best_cli = min(best_cli, time.perf_counter() - t)
print(f"python {best_py:.3f} s, cli {best_cli:.3f} s, ratio {best_py / best_cli:.3f}")
