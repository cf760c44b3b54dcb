#include "model/screens/register.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>

#include "model/de405_files.h"
#include "model/screens/modelling.h"
#include "model/screens/vgrtest.h"
#include "ui/messages.h"

namespace torvik {

namespace {

bool Save(ui::Screen* screen, const QString& path) {
  screen->resize(screen->ContentSize());
  QCoreApplication::processEvents();
  return screen->grab().save(path, "PNG");
}

}  // namespace

void RegisterModelScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder) {
  nav.Register("modelling", [&m, &nav, folder] { return std::make_unique<ModellingScreen>(m, nav, folder); });
  nav.Register("vgrtest", [&m] { return std::make_unique<VgrTestScreen>(m); });
}

std::vector<std::string> RenderModelScreens(ui::Navigator& nav, const QString& dir,
                                            const std::filesystem::path& folder) {
  std::vector<std::string> failed;
  ui::CapturedMessages messages;  // nothing modal while rendering
  auto* s = static_cast<ModellingScreen*>(nav.Get("modelling"));
  auto* t = static_cast<VgrTestScreen*>(nav.Get("vgrtest"));
  if (!s || !t) return {"modelling", "comparison", "vgrtest"};
  const QDir out(dir);

  s->Open();
  s->endYearField->setText("1610");
  s->driftBoxes[0]->setChecked(true);
  s->mtField->setText("0.5");  // the ten years across the picture
  s->mdAlfaField->setText("20");
  s->dYField->setText("-5");
  s->trailsBox->setChecked(true);
  s->SetScaleValue(150);  // 15 million km per unit: the inner planets and their side view
  s->startButton->click();
  while (s->Runner().Active()) QCoreApplication::processEvents();
  if (!messages.shown.empty() || !Save(s, out.filePath("modelling.png"))) failed.push_back("modelling");

  messages.shown.clear();
  if (!HaveDe405Files(folder)) EnsureDe405Files(folder);
  s->jdField->setText("2451545");
  s->compareButton->click();
  if (!messages.shown.empty() || !Save(s, out.filePath("comparison.png"))) failed.push_back("comparison");
  s->hide();

  messages.shown.clear();
  t->Open();
  t->bodies[1]->setChecked(true);
  t->bodies[2]->setChecked(true);
  t->placeButton->click();
  t->mfField->setText("1000");  // force lines of a few units
  t->restButton->click();
  t->vsys[0]->setText("300");
  t->iterateButton->click();
  if (!messages.shown.empty() || !Save(t, out.filePath("vgrtest.png"))) failed.push_back("vgrtest");
  t->hide();
  return failed;
}

}  // namespace torvik
