// "Torvik6 - Преобразователь координат": the place of the Sun, a planet or the
// Moon (or typed coordinates) in one origin, plane, equinox and
// representation, converted into another; sidereal time and hour angle, date
// <-> JD with a time zone, and the angle converter.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <array>
#include <memory>
#include <optional>

#include "core/model.h"
#include "tools/converter.h"
#include "ui/fields.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

class ConverterScreen : public ui::Screen {
  Q_OBJECT

 public:
  explicit ConverterScreen(Model& m);

  ui::OptionGroup *objectGroup = nullptr, *theoryGroup = nullptr, *originGroup = nullptr, *planeGroup = nullptr,
                  *reprGroup = nullptr, *equinoxGroup = nullptr, *angleUnitGroup = nullptr, *signGroup = nullptr;
  // X, Y, Z, L, B, R of the source and of the converted coordinates.
  std::array<QLineEdit*, 6> source{}, converted{};
  QLineEdit *obsLField = nullptr, *obsBField = nullptr, *lmstField = nullptr, *tauField = nullptr,
            *gmstField = nullptr, *zoneField = nullptr, *dayField = nullptr, *monthField = nullptr,
            *yearField = nullptr, *jdField = nullptr, *daysField = nullptr, *etUtField = nullptr;
  QCheckBox *etUtBox = nullptr, *clearBox = nullptr;
  std::array<QLineEdit*, 3> angleIn{}, angleOut{};
  QLineEdit *angleInDecimal = nullptr, *angleOutDecimal = nullptr;
  ui::Picture* picture = nullptr;
  QScrollBar* scaleBar = nullptr;
  QLabel* scaleLabel = nullptr;
  QPushButton *setButton = nullptr, *convertButton = nullptr, *copyButton = nullptr, *advanceButton = nullptr,
              *gjButton = nullptr, *jgButton = nullptr, *readAngleButton = nullptr, *showAngleButton = nullptr,
              *toLongitudeButton = nullptr, *toLatitudeButton = nullptr, *closeButton = nullptr;

  CoordSystem SelectedSystem() const;
  Representation SelectedRepresentation() const;
  // The system of the coordinates in the source fields.
  CoordSystem SourceSystem() const { return from_; }
  const std::optional<ConverterContext>& Context() const { return ctx_; }
  // The default object set and converted to the geocentric equator.
  void PrepareScreenshot() override;

 protected:
  void Build() override;
  void Activated() override;

 private:
  ConverterSettings Settings() const;
  SourceTexts SourceFields() const;
  void ShowCoordinates(const std::array<QLineEdit*, 6>& fields, const Coordinates& c);
  bool OnSet();
  bool OnConvert();
  void OnCopy();
  void OnAdvance();
  void OnDateToJD();
  void OnJDToDate();
  void OnReadAngle();
  void OnShowAngle();
  void Redraw();
  void ScaleChanged(bool withBlank);

  // The study works on its own copy of the model, taken afresh at each
  // computation of the object: the shared model, where the next run starts,
  // never sees its dates, elements and state vectors.
  Model& shared_;
  std::unique_ptr<Model> work_;
  Model& m_;  // = *work_
  CoordSystem from_;
  std::optional<CoordSystem> convertedTo_;  // the system of the converted fields
  std::optional<ConverterContext> ctx_;
  std::optional<Conversion> last_;  // drawn again after a change of scale
  double angle_ = 0.0;              // the angle tool's angle, degrees
  double scale_ = 3e11;             // m per picture unit
};

}  // namespace torvik
