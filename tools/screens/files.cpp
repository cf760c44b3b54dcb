#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "tools/screens/help.h"

namespace torvik {

namespace {

// A frame drawn like a folder: its caption, the sub-folders of the program
// folder it stands for (as they are on the disk) and the files kept in it.
QGroupBox* Folder(const QString& caption, const QStringList& folders, const QString& files) {
  auto* box = new QGroupBox(caption);
  box->setProperty(kFileMapFolders, folders);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(6, 4, 6, 4);
  if (!files.isEmpty()) {
    auto* label = new QLabel(files);
    label->setWordWrap(!files.contains('\n'));  // lines broken by hand keep their breaks
    layout->addWidget(label);
  }
  return box;
}

void Add(QGroupBox* parent, QWidget* child) { static_cast<QVBoxLayout*>(parent->layout())->addWidget(child); }

}  // namespace

FileMapScreen::FileMapScreen() : ui::Screen(kFileMapTitle) {}

void FileMapScreen::Build() {
  auto* root = new QVBoxLayout(this);
  auto* program = Folder("Torvik6 - папка программы", {},
                         "папка, названная при запуске (torvik6 ПАПКА), иначе ~/Torvik6; недостающие папки "
                         "программа создает сама.\ntorvik1.dat, torvik2.dat, … - файлы параметров орбит и начальных "
                         "данных (форма 1, \"Сохранить параметры и данные в файле №\")");
  root->addWidget(program);
  auto* grid = new QGridLayout;
  static_cast<QVBoxLayout*>(program->layout())->addLayout(grid);

  auto* obs = Folder("Obs - данные оптических наблюдений обсерваторий", {"Obs"},
                     "файлы наблюдений: код обсерватории + номер планеты + .txt");
  Add(obs, Folder("Plan", {"Obs/Plan"}, "результаты планов: обсерватория + планета + \"_\" + план + .dat"));
  auto* tab = Folder("Tab - данные древних астрономов в виде таблиц", {"Tab"},
                     "таблицы Almagest, AlfonsoTab, … встроены в программу; здесь - книги электронных таблиц "
                     "пользователя (.xls, .xlsx, .ods), которые программа открывает через LibreOffice");
  Add(tab, Folder("Plan", {"Tab/Plan"},
                  "файлы планов и регрессии: таблица + тело (Солнце 0 … Марс 4) + \"_\" + план (1 … 32) + .dat"));
  auto* dat = Folder("Dat - дополнительные файлы при работе с Tab и Obs", {"Dat"},
                     "Ras_data.txt, Param_data.txt, Bad_data.txt - отклонения; Stat*.txt - статистика; "
                     "Plan.txt, TorvikSLU.txt - планы и отчеты");
  auto* xyz = Folder("XYZ", {"XYZ"}, "torvik + планета + XYZ + N + .txt - координаты и скорости при моделировании");

  // The runs of the model: one folder per plan number beside the others.
  QStringList planFolders, txtFolders, txt;
  const char* owners[] = {"Меркурия", "Венеры", "Земли",  "Марса",   "Юпитера",
                          "Сатурна",  "Урана",  "Нептуна", "Плутона", "Ксены"};
  for (int plan = 0; plan <= 3; ++plan) {
    planFolders << QString("Plan%1").arg(plan);
    for (int p = 1; p <= 10; ++p) txtFolders << QString("Plan%1/Txt%2").arg(plan).arg(p);
  }
  for (int p = 1; p <= 10; ++p) txt << QString("Txt%1 - папка %2").arg(p).arg(owners[p - 1]);
  auto* plans = Folder("Plan0, Plan1, Plan2, Plan3 - расчеты модели по планам экспериментов", planFolders,
                       "TorvikPlan.dat - файл плана, TorvikSLU.dat - отчет о решении системы уравнений, "
                       "Torvik + планета + RasB.dat, RasO.dat - смещения");
  Add(plans, Folder("Txt1 - папка Меркурия … Txt10 - папка Ксены", txtFolders,
                    txt.mid(0, 5).join(", ") + ",\n" + txt.mid(5).join(", ") +
                        "\nTorvik + планета + RasB + N + .txt - параметры орбит экспериментов"));
  auto* arhiv = Folder("Arhiv", {"Arhiv"},
                       "архив расчетов: сюда переносят папки Plan0, Plan1, … законченных серий; программа сама "
                       "в нее не пишет");

  const QString imitatorFiles = "Torvik + планета + Nab.txt - параметры орбит, TorvikNab.dat - смещения";
  auto* newcomb = Folder("New - имитатор Солнечной системы Ньюкома", {"NEW"}, "папка NEW: " + imitatorFiles);
  auto* apc = Folder("APC - имитатор в /Астрономия с персональным компьютером/", {"APC"},
                     imitatorFiles + "; положения планет считает встроенная планетная теория (VSOP87, ряды Мееуса для "
                                     "Плутона)");
  auto* mox = Folder("Mox - мой имитатор по Obs и Tab *", {"Mox"}, imitatorFiles);
  auto* jpl = Folder("JPL - имитатор JPL (эфемериды DE405)", {"JPL"},
                     imitatorFiles + "; ascp1960.405 - эфемериды DE405");
  Add(jpl, Folder("405", {"JPL/405"}, "ascp1980.405 ... ascp2040.405 - эфемериды DE405"));
  auto* other = Folder("Other - пока свободно *", {"Other"}, QString());

  grid->addWidget(obs, 0, 0);
  grid->addWidget(tab, 0, 1);
  grid->addWidget(dat, 0, 2);
  grid->addWidget(plans, 1, 0, 1, 2);
  grid->addWidget(xyz, 1, 2);
  grid->addWidget(newcomb, 2, 0);
  grid->addWidget(apc, 2, 1);
  grid->addWidget(mox, 2, 2);
  grid->addWidget(jpl, 3, 0);
  grid->addWidget(arhiv, 3, 1);
  grid->addWidget(other, 3, 2);
  for (int c = 0; c < 3; ++c) grid->setColumnStretch(c, 1);

  closeButton = ui::MakeButton("Закрыть форму");
  root->addWidget(closeButton, 0, Qt::AlignRight);
  connect(closeButton, &QPushButton::clicked, this, [this] { hide(); });
}

}  // namespace torvik
