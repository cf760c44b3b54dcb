// torvik6: the desktop workbench.
//   torvik6 [FOLDER]                 program folder, default ~/Torvik6
//   torvik6 --screenshots DIR [FOLDER]  renders every screen to DIR/<screen>.png and exits
#include <QApplication>
#include <QFont>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/screens.h"
#include "core/model.h"
#include "core/paths.h"
#include "model/de405_files.h"
#include "model/screens/register.h"
#include "observe/preparation.h"
#include "observe/sample_files.h"
#include "params/startup.h"
#include "stats/screens/register.h"
#include "ui/screen.h"
#include "ui/screenshots.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setFont(QFont("DejaVu Sans", 9));
  QApplication::setQuitOnLastWindowClosed(true);

  const QStringList args = QApplication::arguments().mid(1);
  QString screenshots;
  int next = 0;
  if (!args.isEmpty() && args[0] == "--screenshots") {
    if (args.size() < 2) {
      std::fprintf(stderr, "usage: torvik6 [FOLDER] | torvik6 --screenshots DIR [FOLDER]\n");
      return 2;
    }
    screenshots = args[1];
    next = 2;
  }
  if (args.size() > next + 1) {
    std::fprintf(stderr, "usage: torvik6 [FOLDER] | torvik6 --screenshots DIR [FOLDER]\n");
    return 2;
  }
  const std::filesystem::path folder =
      args.size() > next ? std::filesystem::path(args[next].toStdString()) : torvik::DefaultProgramFolder();
  if (!torvik::EnsureProgramFolder(folder)) {
    std::fprintf(stderr, "torvik6: cannot create the program folder %s\n", folder.string().c_str());
    return 1;
  }
  torvik::Model model;
  torvik::SetConstants(model);
  torvik::ui::Navigator nav;
  torvik::RegisterScreens(nav, model, folder);
  // The DE405 files of the JPL imitator and the observatory samples are made
  // once, behind the first screen; the screens that read them wait for them.
  torvik::DataPreparation preparation;
  if (screenshots.isEmpty()) {
    preparation.Start(folder);
    torvik::WaitForPreparation(nav, preparation);
  }

  if (!screenshots.isEmpty()) {
    torvik::ui::QuietPlatform quiet;
    auto failed = torvik::ui::RenderScreens(nav, screenshots, QSize(), [&](const std::string& id, torvik::ui::Screen* s) {
      if (id == "statistics") torvik::PrepareStatisticsScreenshot(s, folder);
    });
    // The screens' own preparations act on the shared model as a user would
    // (the plan's levels, the converter's date); the runs start again from
    // the start-up state.
    torvik::StartUp(model);
    model.VXsys = model.VYsys = model.VZsys = 0;
    model.PlanNo = 0;
    for (auto& id : torvik::RenderModelScreens(nav, screenshots, folder)) failed.push_back(id);
    // The GREN run of the screenshots reads the sample file (written into an empty \Obs only).
    if (!torvik::WriteSampleObservatoryFiles(folder))
      std::fprintf(stderr, "torvik6: cannot write the observatory files into %s/Obs\n", folder.string().c_str());
    for (auto& id : torvik::RenderObserveScreens(nav, screenshots)) failed.push_back(id);
    for (const auto& id : failed) std::fprintf(stderr, "torvik6: cannot save the screenshot of %s\n", id.c_str());
    return failed.empty() ? 0 : 1;
  }
  nav.Show("parameters");
  return app.exec();
}
