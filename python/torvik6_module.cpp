// The Python module torvik6: the computations of torvik6-cli for scripts and
// notebooks, on the same Qt-free libraries (no second implementation). Runs
// return numpy arrays; failures raise torvik6.Error with the program's own
// message; bad arguments raise ValueError naming the argument.
//
// The GIL is released while a run computes: runs on separate Model objects go
// side by side in threads. Between batches the run takes the GIL back to call
// the progress callback and to notice KeyboardInterrupt, which ends the run.
#include <pybind11/functional.h>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "core/frames.h"
#include "core/message.h"
#include "core/model.h"
#include "core/paths.h"
#include "core/theories.h"
#include "model/compare.h"
#include "model/de405.h"
#include "model/de405_files.h"
#include "model/imitators.h"
#include "model/run.h"
#include "observe/run.h"
#include "observe/sources.h"
#include "params/initial.h"
#include "params/loading.h"
#include "params/startup.h"
#include "planpos/planety.h"
#include "stats/points.h"
#include "stats/statistics.h"
#include "core/textfile.h"
#include "model/run_view.h"

namespace py = pybind11;

extern char** environ;

namespace torvik {
namespace {

// The program's message as a Python exception (torvik6.Error).
struct Failure : std::runtime_error {
  explicit Failure(const UserMessage& m) : std::runtime_error(m.text) {}
  explicit Failure(const std::string& text) : std::runtime_error(text) {}
};

void Check(const ActionResult& r) {
  if (r) throw Failure(*r);
}

[[noreturn]] void BadArgument(const std::string& name, const std::string& why) {
  throw py::value_error(name + ": " + why);
}

// The planetary-position library behind "apc" keeps static caches: one caller at a time.
std::mutex& ApcLock() {
  static std::mutex lock;
  return lock;
}

std::filesystem::path FolderOf(const std::optional<std::filesystem::path>& folder) {
  const auto f = folder.value_or(DefaultProgramFolder());
  if (f.empty()) BadArgument("folder", "an empty folder name");
  return f;
}

void PrepareFolder(const std::filesystem::path& folder, bool de405) {
  if (!EnsureProgramFolder(folder)) throw Failure("cannot create the program folder " + folder.string());
  if (de405 && !EnsureDe405Files(folder))
    throw Failure("cannot write the DE405 files into " + (folder / "JPL").string());
}

// ---- the model ----

struct PyModel {
  Model m;
  PyModel() {
    Check(StartUp(m));
  }
};

LoadOption LoadOptionOf(const std::string& kind) {
  if (kind == "jpl") return LoadOption::Jpl;
  if (kind == "newcomb") return LoadOption::Newcomb;
  if (kind == "mox") return LoadOption::Mox;
  if (kind == "file") return LoadOption::File;
  BadArgument("kind", "'" + kind + "' is not jpl, newcomb, mox or file");
}


void LoadElements(PyModel& pm, const std::string& kind, std::optional<std::tuple<int, int, double>> date,
                  std::optional<int> file, std::optional<std::filesystem::path> folder) {
  const LoadOption option = LoadOptionOf(kind);
  Model& m = pm.m;
  LoadInputs in = DateInputs(m.DateY, m.DateM, m.DateD);
  if (date) {
    const auto [y, mo, d] = *date;
    if (mo < 1 || mo > 12) BadArgument("date", "the month " + std::to_string(mo) + " is not 1..12");
    if (!std::isfinite(d) || d < 1 || d >= 32) BadArgument("date", "the day " + NumberText(d) + " is not 1..31");
    in.year = std::to_string(y);
    in.month = std::to_string(mo);
    in.day = ShortestText(d);
  }
  if (option == LoadOption::File) {
    if (!file) BadArgument("file", "the load \"file\" needs file=N (\\torvikN.dat)");
    if (*file < 0 || *file > 32767) BadArgument("file", std::to_string(*file) + " is not 0..32767");
    in.fileNumber = std::to_string(*file);
  }
  Check(Load(m, option, in, FolderOf(folder)));
}

void ComputeInitial(PyModel& pm, bool vsol0) {
  InitialDataInputs in;
  in.mSol = ShortestText(pm.m.mSol());
  in.gamma = ShortestText(pm.m.gamma);
  in.vsol0 = vsol0;
  Check(ComputeInitialData(pm.m, in));
}

// A body array (bodies 0..10) as a numpy copy.
py::array_t<double> BodyValues(const double* v) {
  py::array_t<double> a(11);
  std::copy(v, v + 11, a.mutable_data());
  return a;
}

// ---- orbit records ----

py::dtype RecordType(double JDstart) {
  py::list names, formats;
  for (const char* n : {"revolution", "days", "AlfaP", "AlfaU", "Betta", "Eks", "Rsr", "period"}) names.append(n);
  formats.append("i8");
  for (int i = 0; i < 7; ++i) formats.append("f8");
  py::dict spec;
  spec["names"] = names;
  spec["formats"] = formats;
  py::dict meta;
  meta["JDstart"] = JDstart;
  return py::module_::import("numpy").attr("dtype")(spec, py::arg("metadata") = meta).cast<py::dtype>();
}

struct RecordRow {
  std::int64_t revolution;
  double days, AlfaP, AlfaU, Betta, Eks, Rsr, period;
};

// The records of an orbit file as the statistics screen reads them; the
// revolution counts from the first field of each record line.
py::array ReadRecords(const std::filesystem::path& file) {
  PointTable t;
  if (!ReadRunFile(file, t)) throw Failure(ReadErrorMessage(file.string()));
  const auto lines = ReadTextFile(file);
  py::array out(RecordType(t.JDfile), std::vector<py::ssize_t>{static_cast<py::ssize_t>(t.NPoint)});
  auto* rows = static_cast<RecordRow*>(out.mutable_data());
  for (int i = 1; i <= t.NPoint; ++i) {
    const auto& p = t.Par[static_cast<std::size_t>(i)];
    RecordRow& r = rows[i - 1];
    r.revolution = 0;
    // Record i is line 5 + i of the file (four header lines, the count line).
    if (lines && lines->size() > static_cast<std::size_t>(4 + i)) {
      const auto fields = SplitFields((*lines)[static_cast<std::size_t>(4 + i)]);
      if (!fields.empty())
        if (auto n = ParseNumber(fields[0])) r.revolution = static_cast<std::int64_t>(*n);
    }
    r.days = t.tDay[static_cast<std::size_t>(i)];
    r.AlfaP = p[1], r.AlfaU = p[2], r.Betta = p[3], r.Eks = p[4], r.Rsr = p[5], r.period = p[6];
  }
  return out;
}

// ---- runs ----

std::unique_ptr<Imitator> ImitatorOf(const std::string& kind) {
  if (kind == "new") return MakeImitator(ImitatorKind::New);
  if (kind == "apc") return MakeImitator(ImitatorKind::Apc);
  if (kind == "jpl") return MakeImitator(ImitatorKind::Jpl);
  if (kind == "mox") return MakeImitator(ImitatorKind::Mox);
  BadArgument("imitator", "'" + kind + "' is not new, apc, jpl or mox");
}

// A scratch program folder for runs whose orbit file is not kept.
struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    std::string t = (std::filesystem::temp_directory_path() / "torvik6-py-XXXXXX").string();
    if (!mkdtemp(t.data())) throw Failure("cannot create a scratch folder in " + t);
    path = t;
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
};

py::array Run(const PyModel& start, int planet, double step, double nred, int nout, double alfa,
              std::optional<int> to_year, std::optional<long long> steps, std::optional<double> vgr, double powr,
              std::tuple<double, double, double> vsys, std::optional<std::string> imitator, bool backward, bool oto,
              int file, int plan, bool orbit_file, std::optional<std::filesystem::path> folder,
              std::optional<std::string> run_date, std::optional<py::function> progress) {
  // The arguments are checked as torvik6-cli run checks its options.
  if (planet < 1 || planet > 10) BadArgument("planet", std::to_string(planet) + " is not 1..10");
  if (!(step >= 1e-3 && step <= kMaxRunStep)) BadArgument("step", NumberText(step) + " is not 0.001.." + NumberText(kMaxRunStep) + " s");
  if (!(nred >= 1 && nred <= kMaxStepReduction)) BadArgument("nred", NumberText(nred) + " is not 1.." + NumberText(kMaxStepReduction));
  if (nout < 1 || nout > kMaxNOut) BadArgument("nout", std::to_string(nout) + " is not 1.." + std::to_string(kMaxNOut));
  if (!(alfa >= 0 && alfa <= 180)) BadArgument("alfa", NumberText(alfa) + " is not 0..180 degrees");
  if (!(powr >= -10 && powr <= 10)) BadArgument("powr", NumberText(powr) + " is not -10..10");
  if (file < 0 || file > 32767) BadArgument("file", std::to_string(file) + " is not 0..32767");
  if (plan < 0 || plan > 32767) BadArgument("plan", std::to_string(plan) + " is not 0..32767");
  if (steps && *steps < 1) BadArgument("steps", "must be at least 1");
  if (vgr && !(*vgr >= 1e-6 && *vgr <= 1e9)) BadArgument("vgr", NumberText(*vgr) + " is not 1e-6..1e9 (Vgr / Vsv)");
  const auto [vx, vy, vz] = vsys;
  for (double v : {vx, vy, vz})
    if (!(std::fabs(v) <= 3e5)) BadArgument("vsys", NumberText(v) + " km/s is not below the speed of light");
  const int endYear = to_year.value_or(2001);
  if (to_year && (*to_year < kMinYear || *to_year > kMaxYear)) BadArgument("to_year", std::to_string(*to_year) + " is out of range");
  if (endYear == 0 && !steps) BadArgument("to_year", "0 (no end year) needs steps=N");
  if (endYear != 0 && endYear < start.m.DateY)
    BadArgument("to_year", std::to_string(endYear) + " is before the start year " + std::to_string(start.m.DateY));

  std::unique_ptr<Imitator> source = imitator ? ImitatorOf(*imitator) : nullptr;
  std::optional<ScratchFolder> scratch;
  if (!orbit_file && !folder) scratch.emplace();
  const auto dir = scratch ? scratch->path : FolderOf(folder);
  PrepareFolder(dir, source && source->Kind() == ImitatorKind::Jpl);

  RunSettings s;
  s.folder = dir;
  s.live.hMain = step;
  s.live.NRed = nred;
  s.Alfa = alfa;
  s.PowR = powr;
  if (vgr) s.live.finiteSpeed = true, s.VgrFactor = *vgr;
  s.imitatorMode = source != nullptr;
  s.imitator = source.get();
  s.PlanetNo = planet;
  s.endYearOn = endYear != 0;
  s.endYear = endYear;
  s.Dir = backward ? -1 : 1;
  s.oto = oto;
  s.writeOrbit = true;  // the records are the orbit file's
  s.live.NFile = static_cast<std::int16_t>(file);
  s.live.NOut = steps ? static_cast<std::int32_t>(std::min<long long>(nout, *steps)) : nout;
  s.runDate = run_date.value_or("");

  // The run starts from a copy: the Model object stays the start state.
  Model m = start.m;
  m.VXsys = vx, m.VYsys = vy, m.VZsys = vz;
  m.PlanNo = static_cast<std::int16_t>(plan);
  std::unique_lock<std::mutex> apc;
  if (source && source->Kind() == ImitatorKind::Apc) {
    py::gil_scoped_release release;
    apc = std::unique_lock<std::mutex>(ApcLock());
  }
  ModelRun run(m);
  Check(run.Start(s));
  ActionResult failure;
  const auto t0 = std::chrono::steady_clock::now();
  while (run.Running()) {
    if (steps) {
      const long long left = *steps - run.totalSteps() - run.active().NOut;
      if (left <= 0) m.Stop = 1;
      else run.live.NOut = static_cast<std::int32_t>(std::min<long long>(nout, left));
    }
    {
      py::gil_scoped_release release;
      BatchResult r = run.Batch();
      if (r.message) failure = r.message;
    }
    // Ctrl+C (KeyboardInterrupt) ends the run between batches.
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
    if (progress) {
      const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      const torvik::RunProgress q = ProgressOf(run, m, wall);
      (*progress)(q.years, run.currentYear(), run.totalSteps());
    }
  }
  if (failure) throw Failure(*failure);
  if (!run.SummaryFinite()) throw Failure(UserMessage{kMsgSolveError, kTitle});
  return ReadRecords(run.orbitFile());
}

// ---- drifts ----

struct DriftResult {
  std::optional<double> Drift, Limit, k0, k1, k2;
  std::optional<int> NCP;
};

Criterion CriterionOf(const std::string& c) {
  if (c == "min") return Criterion::Min;
  if (c == "maxmin") return Criterion::MaxMin;
  if (c == "sr") return Criterion::Sr;
  BadArgument("criterion", "'" + c + "' is not min, maxmin or sr");
}

// Writes records (a structured array of run()) as an orbit file.
void WriteRecords(const py::array& records, double JDstart, const std::filesystem::path& file) {
  PointTable t;
  t.Reset();
  t.JDfile = JDstart;
  t.header = {"torvik6 python", "", "", ""};
  const py::object rec = py::module_::import("numpy").attr("asarray")(records);
  const py::ssize_t n = py::len(rec);
  auto column = [&](const char* name) {
    return py::array_t<double, py::array::forcecast>(rec[py::str(name)]);
  };
  const auto days = column("days");
  const std::array<py::array_t<double, py::array::forcecast>, 6> par = {column("AlfaP"), column("AlfaU"),
                                                                         column("Betta"), column("Eks"),
                                                                         column("Rsr"),   column("period")};
  for (py::ssize_t i = 0; i < n; ++i) {
    std::array<double, 7> p{};
    for (int j = 0; j < 6; ++j) p[static_cast<std::size_t>(j + 1)] = par[static_cast<std::size_t>(j)].at(i);
    t.Add(days.at(i), p);
  }
  if (!WriteRunFile(file, t)) throw Failure(RunWriteErrorMessage(file.string()));
}

DriftResult Drift(const py::object& records_or_file, int element, int ncoef, int group, std::optional<int> first,
                  std::optional<int> last, std::optional<int> t0, double tyear, bool sweep, const std::string& criterion,
                  std::optional<double> jd_start) {
  if (element < 1 || element > 6) BadArgument("element", std::to_string(element) + " is not 1..6");
  if (ncoef < 1 || ncoef > 3) BadArgument("ncoef", std::to_string(ncoef) + " is not 1..3");
  if (group < 1) BadArgument("group", std::to_string(group) + " is not at least 1");
  if (first && *first < 1) BadArgument("first", "must be at least 1");
  if (last && *last < 1) BadArgument("last", "must be at least 1");
  StatsInputs in;
  in.p = element;
  in.NCoef = ncoef;
  in.NCP = group;
  in.TYear = tyear;
  in.sweep = sweep;
  in.criterion = CriterionOf(criterion);

  std::optional<ScratchFolder> scratch;
  std::filesystem::path file;
  if (py::isinstance<py::str>(records_or_file) || py::hasattr(records_or_file, "__fspath__")) {
    file = py::module_::import("os").attr("fspath")(records_or_file).cast<std::string>();
  } else {
    const py::array records = records_or_file.cast<py::array>();
    double JDstart = 0;
    if (jd_start) {
      JDstart = *jd_start;
    } else {
      const py::object meta = records.dtype().attr("metadata");
      if (meta.is_none() || !meta.contains("JDstart"))
        BadArgument("jd_start", "the records carry no JDstart: give jd_start=JD of the run start");
      JDstart = meta["JDstart"].cast<double>();
    }
    scratch.emplace();
    file = scratch->path / "records.txt";
    WriteRecords(records, JDstart, file);
  }
  Model colours;
  SetConstants(colours);
  Statistics st(Statistics::ModelColours(colours), ".");
  py::gil_scoped_release release;
  StatsOutcome o = st.LoadRunFileAt(file, file.string(), DataKind::PlanRun, in);
  if (o.message) throw Failure(*o.message);
  in.IStart = first.value_or(1);
  in.IEnd = last ? *last : *o.fields.IEnd;
  in.T0 = t0 ? *t0 : *o.fields.T0;
  o = st.ProcessData(in);
  if (o.message) throw Failure(*o.message);
  const StatsFields& f = o.fields;
  DriftResult r;
  r.Drift = f.Drift, r.Limit = f.Limit, r.k0 = f.k0, r.k1 = f.k1, r.k2 = f.k2;
  if (f.NCP) r.NCP = *f.NCP;
  return r;
}

// ---- observations ----

struct ObserveResult {
  py::array_t<double> jd, dL, dB, dR;
  py::dict means;
  std::vector<std::filesystem::path> files;
};

ObsTheory TheoryOf(const std::string& name, const std::string& t) {
  if (t == "J" || t == "j") return ObsTheory::J;
  if (t == "S" || t == "s") return ObsTheory::S;
  if (t == "de405" || t == "DE405") return ObsTheory::De405;
  BadArgument(name, "'" + t + "' is not J, S or de405");
}

ObserveResult Observe(std::optional<std::string> table, std::optional<std::string> observatory, int planet,
                      std::optional<std::tuple<double, int, int>> start, int years,
                      std::optional<std::tuple<double, int>> step, std::optional<std::string> calendar,
                      std::optional<int> day_start, const std::string& theory, const std::string& earth,
                      std::tuple<double, double, double> vsys, bool et_ut, bool j2000, std::optional<bool> light_time,
                      std::optional<bool> aberration, std::optional<bool> nutation, std::optional<bool> moon,
                      std::optional<bool> refraction, std::optional<bool> parallax,
                      std::optional<double> dr_max, bool dr_limit, std::optional<std::filesystem::path> folder) {
  if (table.has_value() == observatory.has_value()) BadArgument("table", "give table=NAME or observatory=CODE");
  int index = 0;
  if (table && !(index = TableNumber(*table))) BadArgument("table", "no table " + *table);
  if (observatory && !(index = ObservatoryNumber(*observatory))) BadArgument("observatory", "no observatory " + *observatory);
  if (planet < -1000 || planet > 1000) BadArgument("planet", std::to_string(planet) + " is out of range");
  if (years < 0 || years > 32767) BadArgument("years", std::to_string(years) + " is not 0..32767");
  ObsSettings s;
  s.Npl = planet;
  s.planet = TheoryOf("theory", theory);
  s.earth = TheoryOf("earth", earth);
  std::optional<ObsCalendar> cal;
  if (calendar) {
    if (*calendar == "gregorian") cal = ObsCalendar::Gregorian;
    else if (*calendar == "julian") cal = ObsCalendar::Julian;
    else if (*calendar == "egyptian") cal = ObsCalendar::Egyptian;
    else BadArgument("calendar", "'" + *calendar + "' is not gregorian, julian or egyptian");
  }
  if (day_start && *day_start != 0 && *day_start != 12) BadArgument("day_start", "is 0 or 12");
  if (step) {
    const auto [s0, div] = *step;
    if (!(s0 >= 1e-6 && s0 <= 1e6)) BadArgument("step", NumberText(s0) + " days is not 1e-6..1e6");
    if (div < 1 || div > 32767) BadArgument("step", "the divisor " + std::to_string(div) + " is not 1..32767");
    s.live.Step0 = s0;
    s.live.StepDiv = static_cast<std::int16_t>(div);
  }
  std::tie(s.VXsys, s.VYsys, s.VZsys) = vsys;
  if (dr_max) {
    if (!(*dr_max >= 0 && *dr_max <= 1e12)) BadArgument("dr_max", NumberText(*dr_max) + " is not 0..1e12");
    s.live.dRmax = *dr_max;
  }
  s.dRlimit = dr_limit;

  const auto dir = FolderOf(folder);
  PrepareFolder(dir, s.earth == ObsTheory::De405 || s.planet == ObsTheory::De405);
  Model m;
  Check(StartUp(m));
  ObservationSource src(dir);
  Check(OpenSource(src, table ? SourceKind::Tab : SourceKind::Obs, index, planet, s));
  if (cal) s.calendar.calendar = *cal;
  if (day_start) s.calendar.dayStart = *day_start == 0 ? DayStart::Midnight : DayStart::Noon;
  if (start) {
    const auto [d, mo, y] = *start;
    s.day = static_cast<float>(d), s.month = mo, s.year = y;
  }
  s.years = years;
  s.etUt = et_ut;
  s.j2000 = j2000;
  // The corrections keep the source's presets unless given.
  s.aberrPl = light_time.value_or(s.aberrPl);
  s.aberrZv = aberration.value_or(s.aberrZv);
  s.nutation = nutation.value_or(s.nutation);
  s.moon = moon.value_or(s.moon);
  s.refraction = refraction.value_or(s.refraction);
  s.parallax = parallax.value_or(s.parallax);

  ObservationRun run(m, src);
  Check(run.Start(s));
  std::vector<double> jd, dL, dB, dR;
  ActionResult failure;
  while (run.Running()) {
    {
      py::gil_scoped_release release;
      // A few hundred steps between the checks of Ctrl+C.
      for (int i = 0; i < 256 && run.Running(); ++i) {
        ObsStepResult r = run.Step();
        if (r.accepted) {
          jd.push_back(run.JDut());
          dL.push_back(run.dLpl());
          dB.push_back(run.dBpl());
          dR.push_back(run.dRpl());
        }
        if (r.message && r.message->text != kTableFault) failure = r.message;
      }
    }
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
  }
  if (failure) throw Failure(*failure);
  ObserveResult out;
  auto array = [](const std::vector<double>& v) {
    py::array_t<double> a(static_cast<py::ssize_t>(v.size()));
    std::copy(v.begin(), v.end(), a.mutable_data());
    return a;
  };
  out.jd = array(jd), out.dL = array(dL), out.dB = array(dB), out.dR = array(dR);
  double sqL = 0, sqB = 0, maxL = 0, maxB = 0;
  for (std::size_t i = 0; i < dL.size(); ++i) {
    sqL += dL[i] * dL[i], sqB += dB[i] * dB[i];
    maxL = std::max(maxL, std::fabs(dL[i])), maxB = std::max(maxB, std::fabs(dB[i]));
  }
  const double n = std::max(run.NdR(), 1);
  out.means["NdR"] = run.NdR();
  out.means["dLsr"] = run.MeanDL();
  out.means["dBsr"] = run.MeanDB();
  out.means["absdL"] = run.MeanAbsDL();
  out.means["absdB"] = run.MeanAbsDB();
  out.means["dRsr"] = run.MeanDR();
  out.means["rmsdL"] = std::sqrt(sqL / n);
  out.means["rmsdB"] = std::sqrt(sqB / n);
  out.means["maxdL"] = maxL;
  out.means["maxdB"] = maxB;
  out.files = run.files();
  return out;
}

py::tuple TablePosition(const std::string& name, int body, std::tuple<int, int, int> date, double hours) {
  const int index = TableNumber(name);
  if (!index) BadArgument("name", "no table " + name);
  if (body != 0 && body != 1 && body != 2 && body != 4)
    BadArgument("body", "the tables give only 0 Sun, 1 Mercury, 2 Venus and 4 Mars");
  const auto [d, mo, y] = date;
  if (d < 1 || d > 35 || mo < 1 || mo > 12 || std::abs(y) > 100000)
    BadArgument("date", "is not (day 1..35, month 1..12, year)");
  if (!(hours >= 0 && hours <= 24)) BadArgument("hours", NumberText(hours) + " is not 0..24");
  StepDate sd;
  sd.CurY = y;
  sd.CurM = static_cast<std::int16_t>(mo);
  sd.CurDay = static_cast<std::int16_t>(d);
  sd.CurH = static_cast<float>(hours);
  sd.CurD = static_cast<float>(d + hours / 24);
  ObservationSource src{std::filesystem::path{}};
  SourcePositions pos;
  if (!src.SelectTable(index).opened || src.ReadTablePosition(sd, body, pos)) throw Failure(kTableFault);
  const auto b = static_cast<std::size_t>(body);
  return py::make_tuple(pos.PosL[b], pos.PosB[b], pos.Ptab);
}

py::tuple Position(const std::string& source, int planet, double jd, std::optional<std::filesystem::path> folder) {
  if (source != "jpl" && source != "apc" && source != "new" && source != "mox" && source != "jpl0")
    BadArgument("source", "'" + source + "' is not jpl, apc, new, mox or jpl0");
  if (planet < 1 || planet > 10) BadArgument("planet", std::to_string(planet) + " is not 1..10");
  if (!std::isfinite(jd) || std::fabs(jd) > kMaxAbsJD) BadArgument("jd", NumberText(jd) + " is not a Julian date");
  Model m;
  Check(StartUp(m));
  std::filesystem::path dir;
  if (source == "jpl") {
    dir = FolderOf(folder);
    PrepareFolder(dir, true);
  }
  std::unique_lock<std::mutex> lock(ApcLock(), std::defer_lock);
  if (source == "apc") lock.lock();
  SourcePosition p;
  Check(ImitatorPosition(m, source, planet, jd, dir, p));
  return py::make_tuple(p.X, p.Y, p.Z, p.L, p.B, p.R);
}

// ---- plans: torvik6-cli's own plan commands and workers ----

std::filesystem::path CliPath() {
#ifdef TORVIK6_CLI
  return TORVIK6_CLI;
#else
  return "torvik6-cli";
#endif
}

// Runs torvik6-cli with the arguments (GIL released); stdout and stderr kept.
// Ctrl+C ends the command and raises KeyboardInterrupt.
std::string RunCli(const std::vector<std::string>& args) {
  std::vector<std::string> words = {CliPath().string()};
  words.insert(words.end(), args.begin(), args.end());
  ScratchFolder scratch;
  const std::string out = (scratch.path / "out").string(), err = (scratch.path / "err").string();
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&fa, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&fa, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid;
  const int spawned = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (spawned != 0) throw Failure("cannot start " + words[0]);
  int status = 0;
  while (true) {
    pid_t done;
    {
      py::gil_scoped_release release;
      done = waitpid(pid, &status, WNOHANG);
      if (done == 0) usleep(20000);
    }
    if (done == pid) break;
    if (done < 0 && errno != EINTR) throw Failure("lost " + words[0]);
    if (PyErr_CheckSignals() != 0) {
      kill(pid, SIGTERM);
      waitpid(pid, &status, 0);
      throw py::error_already_set();
    }
  }
  auto slurp = [](const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  };
  const std::string text = slurp(out), errors = slurp(err);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    // The program's message: the last lines on stderr after "torvik6-cli COMMAND: ".
    std::string message = errors;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) throw py::value_error(message);
    throw Failure(message.empty() ? words[0] + " failed" : message);
  }
  return text;
}

std::string Levels(const std::string& name, const std::optional<std::tuple<double, double, double, double>>& v) {
  if (!v) return {};
  const auto [a, b, c, d] = *v;
  for (double x : {a, b, c, d})
    if (!std::isfinite(x)) BadArgument(name, "holds a value that is not a number");
  return NumberText(a) + "," + NumberText(b) + "," + NumberText(c) + "," + NumberText(d);
}

std::string PlanRun(int plan, int planet, std::optional<int> jobs, std::optional<int> first, std::optional<int> last,
                    int to_year, std::optional<int> params, std::optional<std::tuple<double, double, double, double>> zero,
                    std::optional<std::tuple<double, double, double, double>> step, std::optional<std::string> run_date,
                    std::optional<std::filesystem::path> folder) {
  if (plan < 1 || plan > 32767) BadArgument("plan", std::to_string(plan) + " is not 1..32767");
  if (planet < 1 || planet > 10) BadArgument("planet", std::to_string(planet) + " is not 1..10");
  if (jobs && *jobs < 1) BadArgument("jobs", "must be at least 1");
  std::vector<std::string> a = {"plan", "run", "--plan", std::to_string(plan), "--planet", std::to_string(planet),
                                "--folder", FolderOf(folder).string(), "--to-year", std::to_string(to_year)};
  if (jobs) a.insert(a.end(), {"--jobs", std::to_string(*jobs)});
  if (first) a.insert(a.end(), {"--from", std::to_string(*first)});
  if (last) a.insert(a.end(), {"--to", std::to_string(*last)});
  if (params) a.insert(a.end(), {"--params", std::to_string(*params)});
  if (zero) a.insert(a.end(), {"--zero", Levels("zero", zero)});
  if (step) a.insert(a.end(), {"--step", Levels("step", step)});
  if (run_date) a.insert(a.end(), {"--run-date", *run_date});
  return RunCli(a);
}

std::string PlanFit(int plan, int planet, std::optional<std::string> elements, std::optional<std::string> imitator,
                    const std::string& form, std::optional<std::filesystem::path> folder) {
  if (plan < 1 || plan > 3) BadArgument("plan", std::to_string(plan) + " is not 1..3");
  if (planet < 1 || planet > 10) BadArgument("planet", std::to_string(planet) + " is not 1..10");
  std::vector<std::string> a = {"plan",     "fit",    "--plan", std::to_string(plan), "--planet", std::to_string(planet),
                                "--folder", FolderOf(folder).string(), "--form", form};
  if (elements) a.insert(a.end(), {"--elements", *elements});
  if (imitator) a.insert(a.end(), {"--imitator", *imitator});
  return RunCli(a);
}

}  // namespace
}  // namespace torvik

PYBIND11_MODULE(torvik6, mod) {
  using namespace torvik;
  using py::arg;
  mod.doc() =
      "Torvik6 for scripts: the N-body model with a finite gravity speed and a moving Solar System,\n"
      "the imitators, the drift statistics, the observation runs and the historic tables, on the\n"
      "same libraries as the program and torvik6-cli. Failures raise torvik6.Error with the\n"
      "program's message; bad arguments raise ValueError naming the argument.";
  py::register_exception<Failure>(mod, "Error", PyExc_RuntimeError);

  mod.def("jd", [](int year, int month, double day) {
    if (month < 1 || month > 12) BadArgument("month", std::to_string(month) + " is not 1..12");
    if (!std::isfinite(day)) BadArgument("day", "is not a number");
    return DateToJD(year, month, static_cast<float>(day));
  }, arg("year"), arg("month"), arg("day"),
  "Julian date of a date of the program's calendar (Julian before 15.10.1582, Gregorian after);\n"
  "day with fraction, 1.5 = noon of the 1st.");
  mod.def("date", [](double jd) {
    if (!std::isfinite(jd) || std::fabs(jd) > kMaxAbsJD) BadArgument("jd", "is not a Julian date");
    const CalendarDate d = JDToDate(jd);
    return py::make_tuple(d.year, d.month, static_cast<double>(d.day));
  }, arg("jd"), "(year, month, day) of a Julian date; day with fraction.");

  py::class_<PyModel>(mod, "Model",
                      "The model state as the program starts: constants, bodies 0..9 taking part, the JPL\n"
                      "elements of 1.5 January 1601 and their initial data. Runs start from a copy of it.")
      .def(py::init<>())
      .def("load", &LoadElements, arg("kind"), arg("date") = py::none(), arg("file") = py::none(),
           arg("folder") = py::none(),
           "\"Загрузить параметры орбит\": kind 'jpl', 'newcomb', 'mox' or 'file' (file=N reads\n"
           "FOLDER/torvikN.dat); date=(year, month, day) sets the date first (day with fraction).")
      .def("compute_initial", &ComputeInitial, arg("vsol0") = true,
           "\"Рассчитать по загруженным параметрам начальные данные\": positions and velocities\n"
           "of bodies 1..10 from their elements, the Sun at rest in the origin.")
      .def_property_readonly("JD", [](const PyModel& p) { return p.m.JD; }, "Julian date of the state, days")
      .def_property_readonly("date", [](const PyModel& p) { return py::make_tuple(p.m.DateY, p.m.DateM, p.m.DateD); },
                             "(year, month, day) of the state")
      .def_property_readonly("AlfaL", [](const PyModel& p) { return BodyValues(p.m.AlfaL.data()); }, "mean longitudes of bodies 0..10, rad")
      .def_property_readonly("R0sr", [](const PyModel& p) { return BodyValues(p.m.R0sr.data()); }, "semi-axes, m")
      .def_property_readonly("W0sr", [](const PyModel& p) { return BodyValues(p.m.W0sr.data()); }, "mean motions, rad/s")
      .def_property_readonly("Eks0", [](const PyModel& p) { return BodyValues(p.m.Eks0.data()); }, "eccentricities")
      .def_property_readonly("Betta0", [](const PyModel& p) { return BodyValues(p.m.Betta0.data()); }, "inclinations, rad")
      .def_property_readonly("AlfaP0", [](const PyModel& p) { return BodyValues(p.m.AlfaP0.data()); }, "perihelion longitudes, rad")
      .def_property_readonly("AlfaU0", [](const PyModel& p) { return BodyValues(p.m.AlfaU0.data()); }, "node longitudes, rad")
      .def_property_readonly("X0", [](const PyModel& p) { return BodyValues(p.m.X0.data()); }, "initial x of bodies 0..10, m")
      .def_property_readonly("Y0", [](const PyModel& p) { return BodyValues(p.m.Y0.data()); }, "initial y, m")
      .def_property_readonly("Z0", [](const PyModel& p) { return BodyValues(p.m.Z0.data()); }, "initial z, m")
      .def_property_readonly("VX0", [](const PyModel& p) { return BodyValues(p.m.VX0.data()); }, "initial vx, m/s")
      .def_property_readonly("VY0", [](const PyModel& p) { return BodyValues(p.m.VY0.data()); }, "initial vy, m/s")
      .def_property_readonly("VZ0", [](const PyModel& p) { return BodyValues(p.m.VZ0.data()); }, "initial vz, m/s");

  mod.def("run", &Run, arg("model"), arg("planet") = 1, arg("step") = 3600.0, arg("nred") = 100.0,
          arg("nout") = 1000, arg("alfa") = 1.0, arg("to_year") = py::none(), arg("steps") = py::none(),
          arg("vgr") = py::none(), arg("powr") = 2.0, arg("vsys") = std::make_tuple(0.0, 0.0, 0.0),
          arg("imitator") = py::none(), arg("backward") = false, arg("oto") = false, arg("file") = 1,
          arg("plan") = 0, arg("orbit_file") = false, arg("folder") = py::none(), arg("run_date") = py::none(),
          arg("progress") = py::none(),
          "A run exactly as `torvik6-cli run` does it, from a copy of `model` (which stays as it is).\n"
          "planet 1..10 watched; step s; nred step reduction; nout steps per batch; alfa window, deg;\n"
          "to_year end year (default 2001; 0 with steps=N: no end year); vgr = Vgr / Vsv (finite\n"
          "gravity speed on); vsys (VX, VY, VZ) km/s; imitator 'new', 'apc', 'jpl' or 'mox'.\n"
          "orbit_file=True keeps the orbit file in folder (default ~/Torvik6) as the CLI writes it.\n"
          "progress(model_years, year, steps) is called after each batch. Ctrl+C ends the run\n"
          "between batches (KeyboardInterrupt). The GIL is released while a batch computes; 'apc'\n"
          "runs are serialised (its library keeps static caches).\n"
          "Returns the orbit records, a numpy structured array of shape (N,): revolution (int),\n"
          "days after the run start, AlfaP, AlfaU, Betta (degrees), Eks, Rsr (thousand km), period\n"
          "(days); dtype.metadata['JDstart'] is the Julian date of the run start.");
  mod.def("read_orbit_file", &ReadRecords, arg("path"),
          "The records of an orbit file (TorvikPRasBN.txt, TorvikPNab.txt) as run() returns them.");

  py::class_<DriftResult>(mod, "DriftResult", "The fields of \"Обработать данные\" of the statistics screen.")
      .def_readonly("Drift", &DriftResult::Drift, "drift per 100 years (arcsec, 1e-6, thousand km or minutes)")
      .def_readonly("Limit", &DriftResult::Limit, "its limit, same units")
      .def_readonly("k0", &DriftResult::k0)
      .def_readonly("k1", &DriftResult::k1)
      .def_readonly("k2", &DriftResult::k2)
      .def_readonly("NCP", &DriftResult::NCP, "points per group")
      .def("__repr__", [](const DriftResult& r) -> std::string {
        return "DriftResult(Drift=" + (r.Drift ? NumberText(*r.Drift) : "None") +
               ", Limit=" + (r.Limit ? NumberText(*r.Limit) : "None") + ")";
      });
  mod.def("drift", &Drift, arg("records_or_file"), arg("element"), arg("ncoef") = 2, arg("group") = 5,
          arg("first") = py::none(), arg("last") = py::none(), arg("t0") = py::none(), arg("tyear") = 2000.0,
          arg("sweep") = false, arg("criterion") = "maxmin", arg("jd_start") = py::none(),
          "The statistics screen's fit, as `torvik6-cli drift`: element 1 perihelion, 2 node,\n"
          "3 inclination, 4 eccentricity, 5 semi-axis, 6 period; ncoef 1..3; group points per group;\n"
          "first/last point (1-based); t0 epoch year (default the file's); tyear evaluation year;\n"
          "sweep over group sizes combined by criterion 'min', 'maxmin' or 'sr'. records_or_file is\n"
          "an orbit file's path or the records of run() (jd_start overrides their JDstart).");

  py::class_<ObserveResult>(mod, "ObserveResult", "The accepted steps of an observation run and its means.")
      .def_readonly("jd", &ObserveResult::jd, "JD (UT) of each accepted step, days")
      .def_readonly("dL", &ObserveResult::dL, "deviation in longitude, degrees")
      .def_readonly("dB", &ObserveResult::dB, "deviation in latitude, degrees")
      .def_readonly("dR", &ObserveResult::dR, "deviation in distance, thousand km")
      .def_readonly("means", &ObserveResult::means,
                    "NdR, dLsr, dBsr, absdL, absdB (degrees), dRsr (thousand km), rmsdL, rmsdB, maxdL, maxdB\n"
                    "as `torvik6-cli observe` prints them")
      .def_readonly("files", &ObserveResult::files, "the \\Dat\\ files written");
  mod.def("observe", &Observe, arg("table") = py::none(), arg("observatory") = py::none(), arg("planet") = 1,
          arg("start") = py::none(), arg("years") = 200, arg("step") = py::none(), arg("calendar") = py::none(),
          arg("day_start") = py::none(), arg("theory") = "J", arg("earth") = "J",
          arg("vsys") = std::make_tuple(0.0, 0.0, 0.0), arg("et_ut") = false, arg("j2000") = false,
          arg("light_time") = py::none(), arg("aberration") = py::none(), arg("nutation") = py::none(),
          arg("moon") = py::none(), arg("refraction") = py::none(), arg("parallax") = py::none(), arg("dr_max") = py::none(), arg("dr_limit") = true,
          arg("folder") = py::none(),
          "An observation run as `torvik6-cli observe`: table=NAME (AlBattani, Almagest, ...) or\n"
          "observatory=CODE (GREN, PARI, USNO, RADC, CAPE); planet 0 Sun, 1 Mercury, 2 Venus, 4 Mars;\n"
          "start (day, month, year) in the source's calendar (default the source's); years; step\n"
          "(days, divisor); calendar 'gregorian'|'julian'|'egyptian'; day_start 0|12; theory and\n"
          "earth 'J', 'S' or 'de405'; vsys km/s; the corrections light_time, aberration, nutation,\n"
          "moon, refraction, parallax as True/False (default: the source's presets); dr_max thousand\n"
          "km, dr_limit=False accepts every step. Ctrl+C ends the run.");
  mod.def("table_position", &TablePosition, arg("name"), arg("body"), arg("date"), arg("hours") = 0.0,
          "(L, B, Ptab) in degrees of body 0, 1, 2 or 4 from a historic table at date (day, month,\n"
          "year) of the table's own calendar, hours after the table's day start, as `torvik6-cli table`.");
  mod.def("position", &Position, arg("source"), arg("planet"), arg("jd"), arg("folder") = py::none(),
          "(X, Y, Z [m], L, B [deg], R [thousand km]) of planet 1..10, heliocentric ecliptic, from\n"
          "source 'jpl' (DE405 files of folder), 'apc', 'new', 'mox' or 'jpl0', as `torvik6-cli position`.");
  mod.def("plan_run", &PlanRun, arg("plan"), arg("planet"), arg("jobs") = py::none(), arg("first") = py::none(),
          arg("last") = py::none(), arg("to_year") = 2001, arg("params") = py::none(), arg("zero") = py::none(),
          arg("step") = py::none(), arg("run_date") = py::none(), arg("folder") = py::none(),
          "The experiments first..last (default 1..24) of the four-factor plan K for a planet, with\n"
          "torvik6-cli's own worker processes (`plan run`), jobs at a time (default: the cores);\n"
          "zero and step override the levels (VXsys, VYsys, VZsys km/s, Vgr/Vsv). Each experiment\n"
          "writes folder/PlanK/TxtP/TorvikPRasBj.txt. Returns the command's summary; a failed\n"
          "experiment raises torvik6.Error after the others have run.");
  mod.def("plan_fit", &PlanFit, arg("plan"), arg("planet"), arg("elements") = py::none(),
          arg("imitator") = py::none(), arg("form") = "Y", arg("folder") = py::none(),
          "The criterion, regression and optimum of a plan (`torvik6-cli plan fit`); returns its report.");
}
