// Temporary bodies so the headers build; replaced by the implementations.
#include "params/fields.h"
#include "params/grid.h"
#include "params/initial.h"
#include "params/loading.h"
#include "params/orbitcheck.h"
#include "params/paramfile.h"
#include "params/startup.h"

namespace torvik {

std::optional<double> ParseFieldNumber(std::string_view) { return std::nullopt; }
std::optional<std::int32_t> ParseFieldInt32(std::string_view) { return std::nullopt; }
std::optional<std::int16_t> ParseFieldInt16(std::string_view) { return std::nullopt; }
std::string FieldText(double) { return {}; }

const std::array<const char*, kGridRows>& GridCaptions(GridMode) {
  static const std::array<const char*, kGridRows> c{};
  return c;
}
GridValues GridShownValues(const Model&, GridMode) { return {}; }
GridTexts GridShownTexts(const Model&, GridMode) { return {}; }

std::string ParamFileRelPath(std::int16_t) { return {}; }
std::vector<std::string> ParamFileLines(const Model&) { return {}; }
ActionResult WriteParamFile(const Model&, const std::filesystem::path&, std::int16_t) { return std::nullopt; }
ActionResult ReadParamFile(Model&, const std::filesystem::path&, std::int16_t) { return std::nullopt; }
ActionResult ReadParamLines(Model&, const std::vector<std::string>&, const std::string&) { return std::nullopt; }

const char* LoadOptionCaption(LoadOption) { return ""; }
LoadInputs DateInputs(std::int32_t, std::int32_t, double) { return {}; }
const std::array<double, 10> kJplMassRatios{};
const std::array<double, 10> kNewcombMassRatios{};
ActionResult Load(Model&, LoadOption, const LoadInputs&, const std::filesystem::path&) { return std::nullopt; }
ActionResult Save(Model&, const std::string&, const std::filesystem::path&) { return std::nullopt; }
void SetXenaPlaceholder(Model&) {}
bool CompleteLoad(Model&) { return true; }
std::array<PictureBody, 11> PictureBodies(const Model&) { return {}; }

ActionResult ComputeInitialData(Model&, const InitialDataInputs&) { return std::nullopt; }
ActionResult FindCentreOfMass(Model&) { return std::nullopt; }
std::array<std::string, 3> CentreOfMassTexts(const Model&) { return {}; }
ActionResult CentreOfMassToOrigin(Model&) { return std::nullopt; }
ActionResult FindSunVelocity(Model&) { return std::nullopt; }
ActionResult ApplySunVelocity(Model&) { return std::nullopt; }
PictureCross CentreOfMassCross(const Model&) { return {}; }

ActionResult StartUp(Model&) { return std::nullopt; }

ActionResult OrbitCheck::Start(Model&, const OrbitCheckInputs&) { return std::nullopt; }
ActionResult OrbitCheck::RunBatch(Model&) { return std::nullopt; }
void OrbitCheck::Continue(Model&) {}
ActionResult OrbitCheck::PrepareNC0Steps(Model&, const std::string&) { return std::nullopt; }

}  // namespace torvik
