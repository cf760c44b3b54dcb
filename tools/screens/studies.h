// The study screens opened from the observation screen: the coordinate
// converter ("converter"), the aberration study ("aberration") and the
// ellipse comparison ("ellipse"), and what they share: painting a sketch of
// the computation and showing numbers from their first digit.
#pragma once

#include <QLineEdit>
#include <QString>

#include "core/model.h"
#include "tools/sketch.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

// Registers "converter", "aberration" and "ellipse" with the navigator.
void RegisterStudyScreens(ui::Navigator& nav, Model& m);

namespace study {

// Paints the shapes in order; a point is one pixel, a circle is outlined.
void Paint(ui::Picture* picture, const Sketch& sketch);
// Shows a number (locale separator) from its first digit.
void Show(QLineEdit* field, double v);
void ShowText(QLineEdit* field, const QString& text);
// A field of the given width, read-only for outputs.
QLineEdit* Field(const QString& text, int width, bool readOnly = false);

}  // namespace study
}  // namespace torvik
