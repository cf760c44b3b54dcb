#include "observe/screens/register.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "observe/screens/observation.h"
#include "ui/messages.h"

namespace torvik {

namespace {

// At the size of a laptop display (1366 x 768), as the user sees it there.
bool Save(ui::Screen* screen, const QString& path) {
  screen->resize(screen->ContentSize().boundedTo(ui::RoomOfDisplay(QSize(1366, 768))));
  QCoreApplication::processEvents();
  return screen->grab().save(path, "PNG");
}

void RunToTheEnd(ObservationScreen* s) {
  s->startButton->click();
  while (s->Active()) QCoreApplication::processEvents();
}

}  // namespace

void RegisterObserveScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder) {
  nav.Register("observe", [&m, &nav, folder] { return std::make_unique<ObservationScreen>(m, nav, folder); });
  // The plan screen works with the observation screen, which attaches itself
  // when it is built.
  nav.Register("obsplan", [&m, &nav, folder] {
    return std::make_unique<ObsPlanScreen>(m, nav, folder, [&nav] { nav.Get("observe")->EnsureBuilt(); });
  });
}

std::vector<std::string> RenderObserveScreens(ui::Navigator& nav, const QString& dir) {
  std::vector<std::string> failed;
  ui::CapturedMessages messages;  // nothing modal while rendering
  auto* s = static_cast<ObservationScreen*>(nav.Get("observe"));
  if (!s) return {"observation", "observation-topo", "observation-obs"};
  const QDir out(dir);
  s->Open();
  s->tableGroup->Option(4)->click();  // Almagest
  s->planetField->setText("4");
  s->yearsField->setText("50");
  s->mtField->setText("2.5");  // the fifty years across the plot
  s->mdAlfaField->setText("0.1");
  s->dYField->setText("0");
  s->scaleBar->setValue(400);  // 40 million km per unit: Mars and the Earth in the pictures
  s->clearButton->click();
  RunToTheEnd(s);
  s->helioBar->setValue(200);  // the plan and side views at the foot of the inner picture
  if (!messages.shown.empty() || !Save(s, out.filePath("observation.png"))) failed.push_back("observation");

  // Two years in the horizontal view with the stages of the last step printed
  // in the heliocentric picture.
  messages.shown.clear();
  s->yearsField->setText("2");
  s->visibilityBox->setChecked(true);
  s->fileTraceBox->setChecked(true);
  s->viewGroup->Option(1)->click();
  s->scaleBar->setValue(1000);
  s->clearButton->click();
  RunToTheEnd(s);
  s->helioBar->setValue(70);  // the inset in view
  // The horizon run rejects its steps by dRmax: its end says so, as it should.
  std::erase_if(messages.shown, [](const UserMessage& m) { return m.text.rfind(kNoStepAccepted, 0) == 0; });
  if (!messages.shown.empty() || !Save(s, out.filePath("observation-topo.png"))) failed.push_back("observation-topo");
  s->visibilityBox->setChecked(false);
  s->fileTraceBox->setChecked(false);
  s->viewGroup->Option(0)->click();
  s->scaleBar->setValue(400);

  messages.shown.clear();
  s->dataGroup->Option(1)->click();
  s->obsGroup->Option(1)->click();  // GREN
  s->dayField->setText("31");  // the sample file runs back from the end of 2059
  s->monthField->setText("12");
  s->yearField->setText("2059");
  s->yearsField->setText("100");
  s->mtField->setText("5");
  s->mdAlfaField->setText("0.01");
  s->mdRField->setText("100");
  s->clearButton->click();
  RunToTheEnd(s);
  s->helioBar->setValue(200);
  if (!messages.shown.empty() || !Save(s, out.filePath("observation-obs.png"))) failed.push_back("observation-obs");
  for (const auto& m : messages.shown) std::fprintf(stderr, "torvik6: observation screenshot: %s\n", m.text.c_str());
  s->hide();
  return failed;
}

}  // namespace torvik
