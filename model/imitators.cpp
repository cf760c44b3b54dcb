#include "model/imitators.h"

#include <cmath>
#include <memory>

#include "core/kepler.h"
#include "core/theories.h"
#include "planpos/planety.h"

namespace torvik {

namespace {

void SunAtOrigin(Model& m) { m.X[0] = m.Y[0] = m.Z[0] = 0.0; }

bool ElementPosition(Model& m, int body, void (*theory)(Model&, int)) {
  SunAtOrigin(m);
  theory(m, body);
  NormaliseElements(m, body);
  return ElementsToPosition(m, body);
}

// "New", "Mox" and "APC": positions straight from a theory, nothing to open.
// The element theories work on a scratch copy of the model taken at the
// start: the run's model gets the positions of the Sun and the planet, and
// its loaded elements (where the next run's orbit determination starts) stay.
class TheoryImitator : public Imitator {
 public:
  explicit TheoryImitator(ImitatorKind k) : kind_(k) {}
  ImitatorKind Kind() const override { return kind_; }
  ActionResult Start(Model& m, const std::filesystem::path&, int) override {
    if (kind_ != ImitatorKind::Apc) scratch_ = std::make_unique<Model>(m);
    return std::nullopt;
  }
  ActionResult ImitatePosition(Model& m, int planet) override {
    const UserMessage failed{"Ошибка решения уравнений", kTitle};
    if (planet < 1 || planet >= kBodySlots) return failed;
    if (kind_ == ImitatorKind::Apc) {
      ApcPosition(m, planet);
      return std::nullopt;
    }
    if (!scratch_) scratch_ = std::make_unique<Model>(m);
    Model& w = *scratch_;
    w.JD = m.JD;
    if (!Elements(w, planet)) return failed;
    for (int k : {0, planet}) m.X[k] = w.X[k], m.Y[k] = w.Y[k], m.Z[k] = w.Z[k];
    return std::nullopt;
  }
  bool StartElements(Model& m, int planet) override {
    if (kind_ == ImitatorKind::Apc || planet < 1 || planet > 10) return false;
    return Elements(m, planet);
  }

 private:
  bool Elements(Model& m, int planet) const {
    return kind_ == ImitatorKind::New ? NewcombPosition(m, planet) : MoxPosition(m, planet);
  }

  ImitatorKind kind_;
  std::unique_ptr<Model> scratch_;
};

}  // namespace

bool NewcombPosition(Model& m, int body) { return ElementPosition(m, body, NewcombElements); }
bool MoxPosition(Model& m, int body) { return ElementPosition(m, body, MoxElements); }
bool JplElementsPosition(Model& m, int body) { return ElementPosition(m, body, JplElements); }

void ApcPosition(Model& m, int body) {
  SunAtOrigin(m);
  double out[3] = {0.0, 0.0, 0.0};
  planety(body, m.JD, out);
  const double L = out[0] / m.kUgol, B = out[1] / m.kUgol, r = out[2] * 1000.0;
  const double rho = r * std::cos(B);
  m.X[body] = std::cos(L) * rho;
  m.Y[body] = std::sin(L) * rho;
  m.Z[body] = r * std::sin(B);
}

ActionResult JplImitator::Start(Model& m, const std::filesystem::path& folder, int) {
  return reader_.Locate(folder, m.JD);
}

ActionResult JplImitator::ImitatePosition(Model& m, int planet) { return reader_.Evaluate(m, planet, m.JD); }

std::unique_ptr<Imitator> MakeImitator(ImitatorKind kind) {
  if (kind == ImitatorKind::Jpl) return std::make_unique<JplImitator>();
  return std::make_unique<TheoryImitator>(kind);
}

}  // namespace torvik
