#include "tools/screens/studies.h"

#include <memory>

#include "tools/screens/aberration.h"
#include "tools/screens/converter.h"
#include "tools/screens/ellipse.h"
#include "ui/fields.h"

namespace torvik {

void RegisterStudyScreens(ui::Navigator& nav, Model& m) {
  nav.Register("converter", [&m] { return std::make_unique<ConverterScreen>(m); });
  nav.Register("aberration", [&m] { return std::make_unique<AberrationScreen>(m); });
  nav.Register("ellipse", [&m] { return std::make_unique<EllipseScreen>(m); });
}

namespace study {

void Paint(ui::Picture* picture, const Sketch& sketch) {
  for (const Shape& s : sketch.Shapes()) {
    const QColor c(s.colour.r, s.colour.g, s.colour.b);
    switch (s.kind) {
      case Shape::kLine: picture->Line(s.x1, s.y1, s.x2, s.y2, c); break;
      case Shape::kCircle: picture->Circle(s.x1, s.y1, s.radius, c, s.aspect); break;
      case Shape::kText: picture->Text(s.x1, s.y1, QString::fromStdString(s.text), c); break;
      case Shape::kPoint: picture->Point(s.x1, s.y1, c); break;
    }
  }
}

void ShowText(QLineEdit* field, const QString& text) {
  field->setText(text);
  field->setCursorPosition(0);
}

void Show(QLineEdit* field, double v) { ShowText(field, ui::FormatNumber(v)); }

QLineEdit* Field(const QString& text, int width, bool readOnly) {
  auto* f = new QLineEdit;
  f->setFixedWidth(width);
  f->setReadOnly(readOnly);
  ShowText(f, text);
  return f;
}

}  // namespace study
}  // namespace torvik
