#include "model/imitators.h"

#include <cmath>

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
class TheoryImitator : public Imitator {
 public:
  explicit TheoryImitator(ImitatorKind k) : kind_(k) {}
  ImitatorKind Kind() const override { return kind_; }
  ActionResult Start(Model&, const std::filesystem::path&, int) override { return std::nullopt; }
  ActionResult ImitatePosition(Model& m, int planet) override {
    if (planet < 1 || planet >= kBodySlots) return UserMessage{"Ошибка решения уравнений", kTitle};
    switch (kind_) {
      case ImitatorKind::New:
        if (!NewcombPosition(m, planet)) return UserMessage{"Ошибка решения уравнений", kTitle};
        break;
      case ImitatorKind::Mox:
        if (!MoxPosition(m, planet)) return UserMessage{"Ошибка решения уравнений", kTitle};
        break;
      default:
        ApcPosition(m, planet);
        break;
    }
    return std::nullopt;
  }

 private:
  ImitatorKind kind_;
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
