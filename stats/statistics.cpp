#include "stats/statistics.h"

#include <algorithm>
#include <cmath>

#include "core/paths.h"
#include "core/textfile.h"

namespace torvik {

namespace {

constexpr double kLatestJD = 2.0 * 2451545.0;  // start of the searches for the earliest date
constexpr double kTestJD = 1721058.0;          // start of the test series (year 0)
constexpr std::int32_t kMaxTestPoints = 1000000;
// Dates of points that differ by less than this are the same date (the day
// field is single precision; the file keeps hundredths of a day).
constexpr double kSameDate = 1e-5;
constexpr double kMaxBandSteps = 1e6;

std::string N(double v) { return NumberText(v); }

UserMessage Msg(const char* text) { return {text, kTitle}; }

std::string Pattern(double v, const char* pattern) { return FormatPattern(v, pattern); }

}  // namespace

UserMessage TooFewGroupsMessage(int mMin) {
  return {"Первичные данные должны быть\r\nразбиты минимум на" + std::to_string(mMin) + "группы", kTitle};
}

UserMessage LargePlotQuestion() {
  return {"Вы действительно хотите\r\nтакой большой график.\r\nЕсли Да, то придется подождать", kTitle};
}

UserMessage SameDateQuestion() {
  return {"Точка с такой датой уже есть\r\nЗаменить отмеченный параметр в этой точке?\r\n", kTitle};
}

Statistics::Statistics(const std::array<Rgb, 14>& colours, std::filesystem::path folder)
    : colours_(colours), folder_(std::move(folder)) {}

std::array<Rgb, 14> Statistics::ModelColours(const Model& m) {
  std::array<Rgb, 14> c{};
  for (std::size_t i = 0; i < c.size(); ++i)
    c[i] = {static_cast<std::uint8_t>(std::clamp<int>(m.ColR[i], 0, 255)),
            static_cast<std::uint8_t>(std::clamp<int>(m.ColG[i], 0, 255)),
            static_cast<std::uint8_t>(std::clamp<int>(m.ColB[i], 0, 255))};
  return c;
}

std::filesystem::path Statistics::Resolve(const std::string& rel) const { return ResolvePath(folder_, rel); }

Rgb Statistics::Colour(int c) const { return colours_[static_cast<std::size_t>(std::clamp(c, 0, 13))]; }

std::string Statistics::RunPathOf(const StatsInputs& in) {
  if (in.imitatorSource) return ImitatorRunPath(in.imitatorFolder, in.planet);
  return PlanRunPath(in.plan, in.planet, in.planLetter, in.experiment);
}

void Statistics::Extremes(int p) {
  ParMax_ = -kStatsMK;
  ParMin_ = kStatsMK * kStatsMK;
  for (int i = 1; i <= t_.NPoint; ++i) {
    const double v = t_.Par[static_cast<std::size_t>(i)][static_cast<std::size_t>(p)];
    ParMax_ = std::max(ParMax_, v);
    ParMin_ = std::min(ParMin_, v);
  }
}

bool Statistics::SizePlot(double w, double h, bool askLarge) {
  if (askLarge && w * h >= kLargePlot && ask && !ask(LargePlotQuestion())) return false;
  plot_.Size(w, h);
  plot_.Clear();
  plot_.Grid();
  return true;
}

void Statistics::ShowRange(int p, StatsFields& f) const {
  const auto n = static_cast<std::size_t>(t_.NPoint);
  f.IStart = 1;
  f.IEnd = t_.NPoint;
  f.NPoint = t_.NPoint;
  f.firstValue = t_.Par[1][static_cast<std::size_t>(p)];
  f.lastValue = t_.Par[n][static_cast<std::size_t>(p)];
  f.T0 = JDToDate(t_.JDfile).year;
  f.firstDate = JDToDate(t_.JDfile + t_.tDay[1]);
  f.lastDate = JDToDate(t_.JDfile + t_.tDay[n]);
}

StatsOutcome Statistics::ShowListing(const std::vector<std::string>& listing, ActionResult message) {
  StatsOutcome out;
  runComplete_ = !message;  // the series read into the table in place, whole or not
  out.message = std::move(message);
  plot_.Size(35, 20);
  plot_.Clear();
  // A text line is half a plot centimetre; the header and the count line
  // start at x = 2, the points at x = 1.
  for (std::size_t i = 0; i < listing.size(); ++i)
    plot_.Text(i < 5 ? 2 : 1, 19 - 0.5 * static_cast<double>(i), listing[i]);
  if (t_.NPoint > 0 && static_cast<std::size_t>(t_.NPoint) < t_.tDay.size()) {
    const auto n = static_cast<std::size_t>(t_.NPoint);
    out.fields.NPoint = t_.NPoint;
    out.fields.IStart = 1;
    out.fields.IEnd = t_.NPoint;
    out.fields.firstDate = JDToDate(t_.JDfile);
    out.fields.lastDate = JDToDate(t_.JDfile + t_.tDay[n]);
  }
  return out;
}

// ---------------------------------------------------------------------------

StatsOutcome Statistics::LoadRunFile(const StatsInputs& in) {
  return LoadRunFileAt(Resolve(RunPathOf(in)), RunPathOf(in),
                       in.imitatorSource ? DataKind::ImitatorRun : DataKind::PlanRun, in);
}

StatsOutcome Statistics::LoadRunFileAt(const std::filesystem::path& file, const std::string& relPath, DataKind kind,
                                       const StatsInputs& in) {
  StatsOutcome out;
  const int p = std::clamp(in.p, 1, kElementCount);
  t_.kind = kind;
  t_.RunPath = relPath;
  loadedP_ = p;
  selected_ = 0;
  const bool ok = ReadRunFile(file, t_);
  runComplete_ = ok && t_.NPoint >= 1;
  Extremes(p);
  // An empty series or a scale of 0 gives no plot: reported like the file. A
  // run backward in time (negative days) or a negative scale still loads, on
  // a surface of at least 3 × 2 plot cm.
  double H = Fix(ParMax_ / in.MP - ParMin_ / in.MP) + 2;
  double W = t_.tDay[static_cast<std::size_t>(t_.NPoint)] / 365.24 / in.MX1 + 3;
  if (!ok || t_.NPoint < 1 || !(std::isfinite(W) && std::isfinite(H))) {
    out.message = ReadErrorMessage(relPath);
    return out;
  }
  H = std::max(H, 2.0);
  W = std::max(W, 3.0);
  std::size_t from = plot_.items.size();
  if (!in.overlay) {
    if (!SizePlot(W, H, true)) return out;
    from = plot_.items.size() - Plot::kGridCaptions;  // the captions keep clear of the points too
  }
  ShowRange(p, out.fields);
  DrawRun(in, p, 1, t_.NPoint, !in.overlay);
  plot_.SettleTexts(from);
  return out;
}

// The loaded run: the title (when asked), the first and last years, red lines
// at the first and last selected points, every point in colour c.
void Statistics::DrawRun(const StatsInputs& in, int p, std::int32_t first, std::int32_t last, bool title) {
  const auto n = static_cast<std::size_t>(t_.NPoint);
  if (title) plot_.Text(2, 2, t_.Title());
  // An overlaid run of the same years does not print them again.
  auto year = [&](double x, double jd) {
    const std::string text = N(JDToDate(jd).year);
    for (const PlotItem& it : plot_.items)
      if (it.kind == PlotItem::Kind::Text && it.text == text) return;
    plot_.Text(x, 0.8, text);
  };
  year(0.1, t_.JDfile + t_.tDay[1]);
  year(t_.tDay[n] / 365.24 / in.MX1, t_.JDfile + t_.tDay[n]);
  for (std::int32_t k : {first, last}) {
    const double x = PlotX(t_.tDay[static_cast<std::size_t>(std::clamp<std::int32_t>(k, 1, t_.NPoint))], in.MX1);
    plot_.Line(x, plot_.H, x, 0, kPlotRed);
  }
  const Rgb c = Colour(in.colour);
  for (std::size_t i = 1; i <= n; ++i)
    plot_.Circle(PlotX(t_.tDay[i], in.MX1), (t_.Par[i][static_cast<std::size_t>(p)] - ParMin_) / in.MP + 1, 0.06, c);
}

// ---------------------------------------------------------------------------

void Statistics::GenerateTestSeries(StatsInputs& in, StatsFields& f) {
  ParMax_ = 0;
  ParMin_ = kStatsMK;
  loadedP_ = 1;
  JDe_ = kTestJD;
  t_.Reset();
  t_.JDfile = kTestJD;
  // The series is no file: the point editing must not write it anywhere.
  t_.kind = DataKind::None;
  t_.RunPath.clear();
  in.T0 = 0;
  f.T0 = 0;
  std::uniform_real_distribution<double> rnd(0.0, 1.0);
  for (std::int32_t i = 1; i <= in.NPoint; ++i) {
    const double tDay = i * 36525.0 / in.NPoint * 25;
    const double dT = tDay / 36525;
    std::array<double, 7> par{};
    par[1] = in.k0 + in.k1 * dT + in.k2 * dT * dT + in.k3 * (rnd(rng_) - 0.5);
    t_.Add(tDay, par);
    ParMax_ = std::max(ParMax_, par[1]);
    ParMin_ = std::min(ParMin_, par[1]);
  }
  SizePlot(29.5, 13, false);
  in.MX1 = 100;
  in.MP = (ParMax_ - ParMin_) / 10;
  f.MX1 = in.MX1;
  f.MP = in.MP;
  for (std::int32_t i = 1; i <= t_.NPoint; ++i)
    plot_.Circle(PlotX(t_.tDay[static_cast<std::size_t>(i)], in.MX1),
                 (t_.Par[static_cast<std::size_t>(i)][1] - ParMin_) / in.MP + 1, 0.08, kPlotRed);
  plot_.Text(8, 11.5, " Alfa = k0 + k1 * dT + k2 * dT^2 + k3 * (Rnd (dT) - 0,5))");
}

StatsOutcome Statistics::ProcessData(const StatsInputs& input) {
  StatsOutcome out;
  StatsFields& f = out.fields;
  StatsInputs in = input;
  auto failed = [&out]() {
    out.message = Msg(kProcessingError);
    return out;
  };
  if (in.test) {
    if (in.NPoint < 1 || in.NPoint > kMaxTestPoints) return failed();
    GenerateTestSeries(in, f);
  }
  const int p = loadedP_;
  const int NCoef = in.NCoef;
  const int mMin = NCoef + 1;
  if (NCoef < 1 || NCoef > 3 || in.IStart < 1 || in.IEnd > t_.NPoint || in.IStart >= in.IEnd || in.NCP < 1)
    return failed();
  for (double s : {in.MX1, in.MP, in.MdP, in.MX2})
    if (!(std::isfinite(s) && s != 0)) return failed();
  const auto IStart = static_cast<std::size_t>(in.IStart), IEnd = static_cast<std::size_t>(in.IEnd);
  const int count = in.IEnd - in.IStart + 1;
  int NCPMax = count / mMin;
  const double step = (t_.tDay[IEnd] - t_.tDay[IStart]) / (in.IEnd - in.IStart);
  if (!in.test) JDe_ = DateToJD(in.T0, 1, 1.5f);
  const double d = (in.TYear - in.T0) / 100.0;
  const double uf = UFactor(p);

  // Each processing draws on the picture of the loaded run alone, unless the
  // overlay is on; its texts then keep clear of everything drawn.
  std::size_t from = plot_.items.size();
  if (!in.overlay && !in.test && (t_.kind == DataKind::ImitatorRun || t_.kind == DataKind::PlanRun)) {
    plot_.Clear();
    plot_.Grid();
    from = plot_.items.size() - Plot::kGridCaptions;
    DrawRun(in, p, in.IStart, in.IEnd, true);
  }
  struct Settle {
    Plot& plot;
    std::size_t from;
    ~Settle() { plot.SettleTexts(from); }
  } settle{plot_, from};

  if (!in.sweep) {
    NCPMax = in.NCP;
    const double xFirst = (t_.tDay[IStart] - step / 2) / 365.25 / in.MX1 + 1;
    plot_.Line(xFirst, plot_.H, xFirst, 0, kPlotGreen);
    // Borders closer than a few pixels would flood the plot: every k-th one.
    const double apart = in.NCP * std::fabs(step) / 365.25 / std::fabs(in.MX1) * kPlotPixelsPerCm;
    const std::int64_t every =
        apart >= kPlotMinBorderPixels || !(apart > 0) ? 1
                                                      : static_cast<std::int64_t>(std::ceil(kPlotMinBorderPixels / apart));
    std::int64_t border = 0;
    for (std::int64_t i = std::int64_t{in.IStart} + in.NCP - 1; i <= in.IEnd; i += in.NCP, ++border) {
      if ((border + 1) % every != 0) continue;
      const double x = (t_.tDay[static_cast<std::size_t>(i)] + step / 2) / 365.25 / in.MX1 + 1;
      plot_.Line(x, plot_.H, x, 0, kPlotGreen);
    }
    plot_.Text(1, 9, " T0 = " + N(in.T0) + " год ");
    plot_.Text(1, 8.5, " T   = " + N(in.TYear) + " год ");
    plot_.Text(1, 8, " dT  = " + N(d));
    plot_.Text(1, 11.5, " AlfaMin = " + N(ParMin_));
  }
  if (count / in.NCP < mMin) {
    out.message = TooFewGroupsMessage(mMin);
    return out;
  }
  DriftG_.assign(static_cast<std::size_t>(NCPMax) + 2, 0.0);
  LimitG_.assign(static_cast<std::size_t>(NCPMax) + 2, 0.0);
  fit_.reset();
  sweep_.reset();

  for (int g = in.sweep ? 1 : in.NCP; g <= NCPMax; ++g) {
    const Groups gr = GroupMeans(t_, p, in.IStart, in.IEnd, g, JDe_);
    const auto fit = FitGroups(gr.Xg, gr.Yg, NCoef, d, uf);
    if (!fit) return failed();
    fit_ = fit;
    if (!in.sweep) {
      for (std::size_t j = 0; j < gr.Yg.size(); ++j)
        plot_.Circle(gr.tMid[j] / 365.25 / in.MX1 + 1, (gr.Yg[j] - ParMin_) / in.MP + 1, 0.2, kColourOne);
      const std::string driftLine =
          " dAlfa100 = " + N(fit->Drift) + "   Alfa = " + N(fit->A) + "  стандарт Alfa=  " + N(fit->Sigma);
      if (NCoef == 1) {
        plot_.Text(11.7, 4, " Alfa = " + N(fit->k0) + "  стандарт Alfa =  " + N(fit->Sigma));
      } else if (NCoef == 2) {
        plot_.Text(5.5, 3, driftLine);
        plot_.Text(5.5, 2.5, "     k0 = " + N(fit->k0) + "    k1 = " + N(fit->k1));
      } else {
        plot_.Text(5.5, 1.5, driftLine);
        plot_.Text(5.5, 1, "     k0 = " + N(fit->k0) + "    k1 = " + N(fit->k1) + "    k2 = " + N(fit->k2));
      }
      f.Drift = fit->Drift;
      f.Limit = fit->Limit;
      // The fit with its ±KSigma·Sigma band every 20 days.
      const double band = kKSigma * fit->Sigma;
      // Every 20 days; a span of more than 20·kMaxBandSteps days (a corrupt file)
      // gets proportionally fewer dots.
      const double from = Fix(t_.tDay[IStart]), to = Fix(t_.tDay[IEnd]);
      const double every = std::max(20.0, (to - from) / kMaxBandSteps);
      for (double D = from; D <= to; D += every) {
        const double x = ((t_.JDfile - JDe_) + D) / 36525;
        const double F = fit->k0 + fit->k1 * x + fit->k2 * x * x;
        const double px = D / 365.25 / in.MX1 + 1;
        plot_.Dot(px, (F + band - ParMin_) / in.MP + 1, kPlotGreen);
        plot_.Dot(px, (F - ParMin_) / in.MP + 1, kPlotGreen);
        plot_.Dot(px, (F - band - ParMin_) / in.MP + 1, kPlotGreen);
      }
    }
    f.NCP = g;
    DriftG_[static_cast<std::size_t>(g)] = fit->Drift;
    LimitG_[static_cast<std::size_t>(g)] = fit->Limit;
  }
  f.k0 = fit_->k0;
  f.k1 = fit_->k1;
  f.k2 = fit_->k2;
  if (!in.sweep) return out;

  // The sweep: the drift diagram over the group sizes and the three criteria.
  const Sweep s = EvaluateSweep(DriftG_, LimitG_, NCPMax);
  sweep_ = s;
  const auto best = static_cast<std::size_t>(s.best);
  if (in.criterion == Criterion::Min) std::tie(f.Drift, f.Limit) = CriterionValues(s, DriftG_, LimitG_, Criterion::Min);
  plot_.Text(3, 1, "минимальное при NCP0 = " + N(s.best) + "   dAlfaP100M = " + N(DriftG_[best]) +
                       "   dAlfaP100S = " + N(LimitG_[best]));
  if (!in.overlay) DriftRef_ = DriftG_[best];
  const Rgb c = Colour(in.colour);
  auto X = [&](double g) { return g / in.MX2 + 1; };
  auto Y = [&](double v) { return (v - DriftRef_) / in.MdP + 5; };
  for (int g = 2; g <= NCPMax; ++g) {
    const auto a = static_cast<std::size_t>(g - 1), b = static_cast<std::size_t>(g);
    for (int sign : {-1, 0, 1})
      plot_.Line(X(g - 1), Y(DriftG_[a] + sign * LimitG_[a]), X(g), Y(DriftG_[b] + sign * LimitG_[b]), c);
  }
  for (const Sweep::Step& st : s.steps) {
    for (double v : {st.hi, st.lo}) plot_.Line(X(st.from), Y(v), X(st.g - 1), Y(v), kColourOne);
    plot_.Text(st.g / in.MX2 + 0.5, st.upper ? 12 : 11.5, N(st.g));
  }
  for (double v : {s.BandHi, s.BandLo}) plot_.Line(1, Y(v), X(NCPMax), Y(v), c);
  if (in.criterion == Criterion::MaxMin)
    std::tie(f.Drift, f.Limit) = CriterionValues(s, DriftG_, LimitG_, Criterion::MaxMin);
  plot_.Text(6.9, 1.5, "максимин    dAlfaP100M = " + N((s.BandHi + s.BandLo) / 2) +
                           "   dAlfaP100S = " + N((s.BandHi - s.BandLo) / 2));
  if (in.criterion == Criterion::Sr) std::tie(f.Drift, f.Limit) = CriterionValues(s, DriftG_, LimitG_, Criterion::Sr);
  plot_.Text(6.9, 2, "средние       dAlfaP100M = " + N(s.Md) + "   dAlfaP100S = " + N(s.Ml));
  if (!std::isfinite(s.Sd)) return failed();  // one group size has no spread
  plot_.Text(6.9, 2.5, "стандарт полученных в группах значений dAlfaP100М = " + N(s.Sd));
  return out;
}

// ---------------------------------------------------------------------------

StatsOutcome Statistics::LoadDriftFile(const StatsInputs& in) {
  StatsOutcome out;
  plot_.Size(35, 20);
  if (!in.overlay) {
    plot_.Clear();
    plot_.Grid();
  }
  const int planet = std::clamp(in.planet, 1, 10);
  const auto p = static_cast<std::size_t>(std::clamp(in.p, 1, kElementCount));
  driftPath_.clear();
  std::string rel;
  int n = 0, got = 0;
  double y = 0;
  std::vector<std::string> header;
  FileStamp stamp;
  if (!in.imitatorSource) {
    t_.kind = DataKind::PlanDrift;
    rel = PlanDriftPath(in.plan, planet, in.planLetter);
    n = ExperimentCount(in.planLetter);
    auto& rows = d_.DriftRas[static_cast<std::size_t>(planet)];
    if (CreateMissingDriftFile(Resolve(rel), PlanDriftHeader(in.plan, planet), n) == DriftFileState::Failed) {
      out.message = DriftWriteErrorMessage(rel);
      return out;
    }
    got = ReadDriftFile(Resolve(rel), rows.data(), n, &header, &stamp);
    y = 15.5;
    for (const auto& h : header) {
      plot_.Text(1.6, y, h);
      y -= kPlotTextLine;
    }
    for (int e = 1; e <= got; ++e, y -= kPlotTextLine) {
      const DriftRow& v = rows[static_cast<std::size_t>(e)];
      plot_.Text(1, y, (e <= 9 ? "   " : " ") + std::to_string(e) + "    dAlfaP100  = " + Pattern(v[1], "0000.0000") +
                           "    dAlfaU100  = " + Pattern(v[2], "0000.0000") + "    dBetta100  = " +
                           Pattern(v[3], "000.00000") + "    dEks100  = " + Pattern(v[4], "000.00000") +
                           "    dRsr100  = " + Pattern(v[5], "0000.0000") + "    dPeriod100  = " +
                           Pattern(v[6], "0000.0000"));
    }
    if (got == n && in.experiment >= 1 && in.experiment <= n)
      out.fields.driftInFile = rows[static_cast<std::size_t>(in.experiment)][p];
  } else {
    t_.kind = DataKind::ImitatorDrift;
    rel = ImitatorDriftPath(in.imitatorFolder);
    n = kImitatorDriftRecords;
    if (CreateMissingDriftFile(Resolve(rel), ImitatorDriftHeader(in.imitatorFolder), n) == DriftFileState::Failed) {
      out.message = DriftWriteErrorMessage(rel);
      return out;
    }
    got = ReadDriftFile(Resolve(rel), d_.DriftNab.data(), n, &header, &stamp);
    y = 10.5;
    for (const auto& h : header) {
      plot_.Text(1.6, y, h);
      y -= kPlotTextLine;
    }
    for (int k = 1; k <= got; ++k, y -= kPlotTextLine) {
      const DriftRow& v = d_.DriftNab[static_cast<std::size_t>(k)];
      plot_.Text(1, y, std::to_string(k) + "    dAlfaP100  = " + Pattern(v[1], "0000.0000") + "    dAlfaU100  = " +
                           Pattern(v[2], "0000.0000") + "    dBetta100  = " + Pattern(v[3], "000.00000") +
                           "    dEks100  = " + Pattern(v[4], "000.0000") + "    dRsr100  = " +
                           Pattern(v[5], "0000.0000") + "    dPeriod100  = " + Pattern(v[6], "000.0000"));
    }
    if (got == n) out.fields.driftInFile = d_.DriftNab[static_cast<std::size_t>(planet)][p];
  }
  if (got != n || !out.fields.driftInFile) {
    out.message = ReadErrorMessage(rel);
    return out;
  }
  driftPath_ = rel;
  driftStamp_ = stamp;
  return out;
}

StatsOutcome Statistics::ReplaceDrift(const StatsInputs& in) {
  StatsOutcome out;
  const int planet = std::clamp(in.planet, 1, 10);
  const auto p = static_cast<std::size_t>(std::clamp(in.p, 1, kElementCount));
  std::string rel;
  std::vector<std::string> lines;
  if (in.imitatorSource) {
    rel = ImitatorDriftPath(in.imitatorFolder);
    // Only into the file whose table was loaded completely: a table of another
    // folder, or one cut short by a read error, would overwrite good drifts.
    if (t_.kind != DataKind::ImitatorDrift || rel != driftPath_) {
      out.message = Msg(kNoObservedData);
      return out;
    }
    d_.DriftNab[static_cast<std::size_t>(planet)][p] = in.computedDrift;
    lines = DriftFileLines(ImitatorDriftHeader(in.imitatorFolder), d_.DriftNab.data(), kImitatorDriftRecords);
  } else {
    rel = PlanDriftPath(in.plan, planet, in.planLetter);
    if (t_.kind != DataKind::PlanDrift || rel != driftPath_) {
      out.message = Msg(kNoComputedData);
      return out;
    }
    const int n = ExperimentCount(in.planLetter);
    if (in.experiment < 1 || in.experiment > n) {
      out.message = DriftWriteErrorMessage(rel);
      return out;
    }
    auto& rows = d_.DriftRas[static_cast<std::size_t>(planet)];
    rows[static_cast<std::size_t>(in.experiment)][p] = in.computedDrift;
    lines = DriftFileLines(PlanDriftHeader(in.plan, planet), rows.data(), n);
  }
  // Another rewrite since the load (a second screen or command) is not
  // overwritten with this table: the replacement is refused.
  if (!WriteTextFile(Resolve(rel), lines, driftStamp_)) out.message = DriftWriteErrorMessage(rel);
  else driftStamp_ = StampOf(Resolve(rel));
  return out;
}

// ---------------------------------------------------------------------------

bool Statistics::RunLoaded(StatsOutcome& out) const {
  if ((t_.kind == DataKind::ImitatorRun || t_.kind == DataKind::PlanRun) && runComplete_) return true;
  out.message = Msg(kNotPrimaryData);
  return false;
}

// The edited table replaces the loaded one only when its file was written, so
// that the table always matches the file it came from.
ActionResult Statistics::Rewrite(PointTable t) {
  if (!WriteRunFile(Resolve(t.RunPath), t)) return RunWriteErrorMessage(t.RunPath);
  t_ = std::move(t);
  selected_ = 0;
  return std::nullopt;
}

StatsOutcome Statistics::DeletePoint(const StatsInputs& in) {
  StatsOutcome out;
  if (!RunLoaded(out)) return out;
  const int k = in.deleteNo;
  // A number outside the table would delete the last point.
  if (k < 1 || k > t_.NPoint) {
    out.message = Msg(kPointNotFound);
    return out;
  }
  PointTable t = t_;
  t.tDay.erase(t.tDay.begin() + k);
  t.Par.erase(t.Par.begin() + k);
  --t.NPoint;
  if (k == 1) {
    double first = kLatestJD;
    for (int i = 1; i <= t.NPoint; ++i) first = std::min(first, t_.JDfile + t.tDay[static_cast<std::size_t>(i)]);
    for (int i = 1; i <= t.NPoint; ++i) t.tDay[static_cast<std::size_t>(i)] += t_.JDfile - first;
    t.JDfile = first;
  }
  out.message = Rewrite(std::move(t));
  return out;
}

StatsOutcome Statistics::AddPoint(const StatsInputs& in) {
  StatsOutcome out;
  if (!RunLoaded(out)) return out;
  const auto p = static_cast<std::size_t>(std::clamp(in.p, 1, kElementCount));
  const double Dnew = DateToJD(in.addYear, in.addMonth, in.addDay);
  PointTable t = t_;
  std::vector<double> D(static_cast<std::size_t>(t.NPoint) + 2, 0.0);
  for (int i = 1; i <= t.NPoint; ++i) D[static_cast<std::size_t>(i)] = t.JDfile + t.tDay[static_cast<std::size_t>(i)];
  D.back() = kLatestJD;
  int same = 0;
  for (int i = 1; i <= t.NPoint && !same; ++i)
    if (std::fabs(D[static_cast<std::size_t>(i)] - Dnew) < kSameDate) same = i;
  if (same) {
    if (!ask || ask(SameDateQuestion())) t.Par[static_cast<std::size_t>(same)][p] = in.addValue;
  } else {
    int k = 0;
    for (int j = 1; j <= t.NPoint + 1 && !k; ++j)
      if (D[static_cast<std::size_t>(j - 1)] < Dnew && Dnew < D[static_cast<std::size_t>(j)]) k = j;
    if (!k || !std::isfinite(Dnew)) {  // before JD 0, after the searches' end, or a table out of order
      out.message = Msg(kPointNotFound);
      return out;
    }
    double JDfile = kLatestJD;
    for (int i = 1; i <= t.NPoint; ++i) JDfile = std::min(JDfile, D[static_cast<std::size_t>(i)]);
    JDfile = std::min(JDfile, Dnew);
    plot_.Text(0.5, 10, "добавляем точку № " + std::to_string(k));
    plot_.Text(0.5, 9.5, "начало файла c JD= " + N(JDfile));
    std::array<double, 7> row{};
    row[p] = in.addValue;
    t.tDay.insert(t.tDay.begin() + k, Dnew - t_.JDfile);
    t.Par.insert(t.Par.begin() + k, row);
    ++t.NPoint;
    for (int i = 1; i <= t.NPoint; ++i) t.tDay[static_cast<std::size_t>(i)] += t_.JDfile - JDfile;
    t.JDfile = JDfile;
  }
  out.message = Rewrite(std::move(t));
  return out;
}

// ---------------------------------------------------------------------------

StatsOutcome Statistics::SelectPoint(double x, bool left, const StatsInputs& in) {
  StatsOutcome out;
  const int n = t_.NPoint;
  if (n < 2 || !std::isfinite(x)) {
    out.message = Msg(kPointNotFound);
    return out;
  }
  const double t = (x - 1) * in.MX1 * 365.25;
  auto mid = [&](int i) { return (t_.tDay[static_cast<std::size_t>(i)] + t_.tDay[static_cast<std::size_t>(i) + 1]) / 2; };
  int k = 0;
  if (t < mid(1)) k = 1;
  for (int i = 2; i <= n - 1 && !k; ++i)
    if (mid(i - 1) < t && t < mid(i)) k = i;
  if (!k && t > mid(n - 1)) k = n;
  if (!k) return out;  // exactly on a midpoint: the selection stays
  selected_ = k;
  const auto ks = static_cast<std::size_t>(k);
  const double px = PlotX(t_.tDay[ks], in.MX1);
  plot_.Line(px, plot_.H, px, 0, kPlotRed);
  const double v = t_.Par[ks][static_cast<std::size_t>(std::clamp(in.p, 1, kElementCount))];
  const CalendarDate date = JDToDate(t_.JDfile + t_.tDay[ks]);
  if (left) {
    out.fields.IStart = k;
    out.fields.firstValue = v;
    out.fields.firstDate = date;
  } else {
    out.fields.IEnd = k;
    out.fields.lastValue = v;
    out.fields.lastDate = date;
  }
  return out;
}

}  // namespace torvik
