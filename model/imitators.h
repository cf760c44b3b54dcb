// The four ephemeris sources of an imitator run (option group "имитатор"):
//   New  Newcomb-type elements of date and the Kepler solution, Sun at the origin
//   Mox  the Mox element set (J2000) and the Kepler solution, Sun at the origin
//   APC  the planetary-position library (planety), Sun at the origin
//   JPL  the DE405 files, Sun and planet barycentric
// All write X, Y, Z (metres) of the Sun and the watched planet for m.JD.
#pragma once

#include <memory>

#include "model/de405.h"
#include "model/imitator.h"

namespace torvik {

std::unique_ptr<Imitator> MakeImitator(ImitatorKind kind);

// Element sources: writes the body's elements for m.JD (the theory's frame),
// then X, Y, Z(body); the Sun goes to the origin. False on a fault of the
// Kepler solution.
bool NewcombPosition(Model& m, int body);
bool MoxPosition(Model& m, int body);
bool JplElementsPosition(Model& m, int body);
// planety's L, B, R turned into X, Y, Z(body) (metres, heliocentric ecliptic
// J2000); the Sun goes to the origin.
void ApcPosition(Model& m, int body);

// The JPL source, with its reader open for the whole run.
class JplImitator : public Imitator {
 public:
  ImitatorKind Kind() const override { return ImitatorKind::Jpl; }
  ActionResult Start(Model& m, const std::filesystem::path& folder, int planet) override;
  ActionResult ImitatePosition(Model& m, int planet) override;
  void Finish() override { reader_.Close(); }
  const De405Reader& reader() const { return reader_; }

 private:
  De405Reader reader_;
};

}  // namespace torvik
