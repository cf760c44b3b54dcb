"""The Python module against torvik6-cli: the same inputs give the same
records, drifts and observation means, and failures raise the right errors."""
import os
import signal
import subprocess
import threading

import numpy as np
import pytest

import torvik6

CLI = os.environ["TORVIK6_CLI"]
DATA = os.environ["TORVIK6_TEST_DATA"]
MERCURY_400Y = os.path.join(DATA, "stats", "Torvik1RasB1_400y.txt")


def cli(*args):
    done = subprocess.run([CLI, *map(str, args)], capture_output=True, text=True, check=False)
    assert done.returncode == 0, done.stderr
    return done.stdout


def named_values(text):
    """NAME VALUE lines as torvik6-cli prints them."""
    out = {}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 2:
            try:
                out[parts[0]] = float(parts[1])
            except ValueError:
                pass
    return out


@pytest.fixture
def folder(tmp_path):
    return tmp_path / "Torvik6"


@pytest.mark.parametrize("options", [
    dict(planet=1, to_year=1611),
    dict(planet=4, to_year=1615, vgr=1000.0, vsys=(30.0, 0.0, -10.0), step=7200.0),
    dict(planet=1, to_year=1620, imitator="new"),
])
def test_run_gives_the_records_of_the_cli(folder, options):
    records = torvik6.run(torvik6.Model(), orbit_file=True, folder=folder, run_date="10.12.2026", **options)
    args = ["run", "--folder", folder / "cli", "--orbit-file", "--quiet", "--run-date", "10.12.2026",
            "--planet", options["planet"], "--to-year", options["to_year"]]
    if "vgr" in options:
        args += ["--vgr", options["vgr"]]
    if "vsys" in options:
        args += ["--vsys", ",".join(map(str, options["vsys"]))]
    if "step" in options:
        args += ["--step", options["step"]]
    if "imitator" in options:
        args += ["--imitator", options["imitator"]]
    out = cli(*args)
    cli_file = next(line.split(" in ", 1)[1] for line in out.splitlines() if line.startswith("orbit records"))
    ours = torvik6.read_orbit_file(cli_file)
    assert len(records) > 10
    assert records.dtype.names == ("revolution", "days", "AlfaP", "AlfaU", "Betta", "Eks", "Rsr", "period")
    np.testing.assert_array_equal(records, ours)
    # The module's own file is the CLI's byte for byte.
    rel = os.path.relpath(cli_file, folder / "cli")
    with open(folder / rel, "rb") as a, open(cli_file, "rb") as b:
        assert a.read() == b.read()
    assert records.dtype.metadata["JDstart"] == pytest.approx(2305814.0)


def test_run_leaves_the_model_and_its_folder_alone(tmp_path):
    model = torvik6.Model()
    before = model.X0.copy()
    records = torvik6.run(model, planet=1, to_year=1603)
    assert len(records) > 0
    np.testing.assert_array_equal(model.X0, before)
    assert model.date == (1601, 1, 1.5)


@pytest.mark.parametrize("element, group", [(1, 50), (6, 5), (4, 20)])
def test_drift_gives_the_figures_of_the_cli(element, group):
    fit = torvik6.drift(MERCURY_400Y, element, group=group)
    want = named_values(cli("drift", MERCURY_400Y, "--element", element, "--group", group))
    for name in ("Drift", "Limit", "k0", "k1"):
        assert getattr(fit, name) == pytest.approx(want[name], rel=1e-12), name
    assert fit.NCP == want["NCP"]


def test_drift_of_run_records_equals_the_drift_of_their_file(folder):
    records = torvik6.run(torvik6.Model(), planet=1, to_year=1621, orbit_file=True, folder=folder)
    path = folder / "Plan0" / "Txt1" / "Torvik1RasB1.txt"
    assert torvik6.drift(records, 1).Drift == pytest.approx(torvik6.drift(path, 1).Drift, rel=1e-12)


@pytest.mark.parametrize("source", [
    dict(table="Almagest", planet=4, years=20),
    dict(table="AlBattani", planet=0, years=10, dr_limit=False),
])
def test_observe_gives_the_means_of_the_cli(folder, source):
    result = torvik6.observe(folder=folder, **source)
    args = ["observe", "--folder", folder, "--quiet", "--table", source["table"], "--planet", source["planet"],
            "--years", source["years"]]
    if source.get("dr_limit") is False:
        args.append("--no-dr-limit")
    want = named_values(cli(*args))
    assert result.means["NdR"] == want["NdR"]
    assert len(result.dL) == want["NdR"] > 0
    for name in ("dLsr", "dBsr", "absdL", "absdB", "dRsr", "rmsdL", "maxdL"):
        assert result.means[name] == pytest.approx(want[name], rel=1e-9, abs=1e-12), name
    assert np.all(np.diff(result.jd) > 0)


def test_positions_tables_and_dates(folder):
    assert torvik6.jd(2000, 1, 1.5) == 2451545.0
    assert torvik6.date(2451545.0) == (2000, 1, 1.5)
    L, B, Ptab = torvik6.table_position("AlfonsoTab", 4, (3, 7, 1327))
    want = named_values(cli("table", "AlfonsoTab", "--body", 4, "--date", "3.7.1327"))
    assert (L, B, Ptab) == pytest.approx((want["L"], want["B"], want["Ptab"]), rel=1e-12)
    x, y, z, L, B, R = torvik6.position("new", 3, 2451545.0)
    assert R == pytest.approx(147100, rel=0.01)  # the Earth near perihelion in early January
    for source in ("jpl", "apc"):
        got = torvik6.position(source, 3, 2451545.0, folder=folder)
        printed = cli("position", "--folder", folder, "--source", source, "--planet", 3, "--jd", 2451545)
        assert got == pytest.approx([float(v) for v in printed.splitlines()[-1].split()], rel=1e-12), source


def test_a_bad_file_raises_the_programs_message(tmp_path):
    bad = tmp_path / "Torvik1RasB1.txt"
    bad.write_bytes(b"h1\r\nh2\r\nh3\r\nh4\r\n 3 abc\r\n")
    with pytest.raises(torvik6.Error, match="Ошибка чтения данных из файла"):
        torvik6.drift(bad, 1)
    model = torvik6.Model()
    with pytest.raises(torvik6.Error, match=r"(?s)^Ошибка чтения файла\r\n.*torvik11\.dat$"):
        model.load("file", file=11, folder=tmp_path)


@pytest.mark.parametrize("call, name", [
    (lambda m: torvik6.run(m, planet=0), "planet"),
    (lambda m: torvik6.run(m, step=-1), "step"),
    (lambda m: torvik6.run(m, imitator="vsop"), "imitator"),
    (lambda m: torvik6.run(m, to_year=1500), "to_year"),
    (lambda m: m.load("ephemeris"), "kind"),
    (lambda m: m.load("jpl", date=(2000, 13, 1)), "date"),
    (lambda m: torvik6.drift(MERCURY_400Y, 7), "element"),
    (lambda m: torvik6.observe(table="Ptolemy"), "table"),
    (lambda m: torvik6.observe(), "table"),
    (lambda m: torvik6.table_position("Almagest", 3, (1, 1, 748)), "body"),
    (lambda m: torvik6.position("vsop", 1, 2451545.0), "source"),
])
def test_bad_arguments_raise_value_error_naming_them(call, name):
    with pytest.raises(ValueError, match=f"^{name}:"):
        call(torvik6.Model())


def test_keyboard_interrupt_ends_a_long_run():
    progress = []
    timer = threading.Timer(0.5, lambda: signal.raise_signal(signal.SIGINT))
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        torvik6.run(torvik6.Model(), planet=1, to_year=3000, progress=lambda *p: progress.append(p))
    timer.cancel()
    assert progress and progress[-1][0] < 1000  # model years done before the interrupt


def test_runs_go_side_by_side_in_threads():
    results = {}

    def work(planet):
        results[planet] = torvik6.run(torvik6.Model(), planet=planet, to_year=1605)

    threads = [threading.Thread(target=work, args=(p,)) for p in (1, 2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    np.testing.assert_array_equal(results[1], torvik6.run(torvik6.Model(), planet=1, to_year=1605))
    assert len(results[2]) > 0


def test_plan_run_and_fit_use_the_cli(folder):
    summary = torvik6.plan_run(1, 1, jobs=2, first=1, last=2, to_year=1602, folder=folder, run_date="10.12.2026")
    assert "1" in summary
    for j in (1, 2):
        records = torvik6.read_orbit_file(folder / "Plan1" / "Txt1" / f"Torvik1RasB{j}.txt")
        assert len(records) > 0
    with pytest.raises(ValueError, match="^jobs:"):
        torvik6.plan_run(1, 1, jobs=0, folder=folder)
