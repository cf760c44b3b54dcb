#include "stats/drift_fill.h"

namespace torvik {

DriftFillResult FillDrifts(const std::filesystem::path& folder, const DriftFill& f) {
  DriftFillResult out;
  Statistics st({}, folder);  // every question answered Yes: no plot is too large
  StatsInputs in = f.fit;
  in.imitatorSource = f.imitator;
  in.imitatorFolder = f.imitatorFolder;
  in.plan = f.plan;
  in.planLetter = f.planLetter;
  in.planet = f.planet;
  in.overlay = false;
  in.test = false;
  out.driftPath = f.imitator ? ImitatorDriftPath(f.imitatorFolder) : PlanDriftPath(f.plan, f.planet, f.planLetter);
  const int from = f.imitator ? 1 : f.from, to = f.imitator ? 1 : f.to;
  for (int j = from; j <= to; ++j) {
    in.experiment = j;
    for (int e : f.elements) {
      DriftFillRow row;
      row.experiment = f.imitator ? 0 : j;
      row.element = e;
      in.p = e;
      row.runPath = Statistics::RunPathOf(in);
      StatsOutcome o = st.LoadRunFile(in);
      if (!o.message) {
        in.IStart = f.pointsFrom > 0 ? f.pointsFrom : *o.fields.IStart;
        in.IEnd = f.pointsTo > 0 ? f.pointsTo : *o.fields.IEnd;
        if (!f.ownT0) in.T0 = *o.fields.T0;
        o = st.ProcessData(in);
      }
      if (!o.message && !o.fields.Drift) o.message = UserMessage{kProcessingError, kTitle};
      if (o.message) {
        row.failure = o.message;
        out.rows.push_back(row);
        ++out.skipped;
        continue;
      }
      row.drift = *o.fields.Drift;
      row.limit = o.fields.Limit.value_or(0.0);
      in.computedDrift = row.drift;
      o = st.LoadDriftFile(in);
      if (!o.message) o = st.ReplaceDrift(in);
      if (o.message) {  // the drift file is damaged or cannot be written: nothing more goes into it
        out.failure = o.message;
        row.failure = o.message;
        out.rows.push_back(row);
        ++out.skipped;
        return out;
      }
      row.written = true;
      out.rows.push_back(row);
    }
  }
  return out;
}

}  // namespace torvik
