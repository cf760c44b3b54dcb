#include "plan/screens/obs_plan_screen.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cmath>
#include <cstdlib>

#include "core/paths.h"
#include "core/textfile.h"
#include "plan/mox_series.h"
#include "stats/screens/statistics.h"
#include "ui/messages.h"

namespace torvik {

namespace {

ui::NumberField* Field(int width = 112) {
  auto* f = new ui::NumberField;
  f->setFixedWidth(width);
  return f;
}

void Set(QLineEdit* f, double v) {
  f->setText(ui::FormatNumber(v));
  f->setCursorPosition(0);
}

QLabel* Label(const char* text) { return new QLabel(QString::fromUtf8(text)); }

void Say(const std::string& text) { ui::Messages().Show(UserMessage{text, kTitle}); }

}  // namespace

ObsPlanScreen::ObsPlanScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder,
                             std::function<void()> ensureLink)
    : ui::Screen(QString::fromUtf8(kObsPlanTitle)),
      m_(m),
      nav_(nav),
      folder_(std::move(folder)),
      ensureLink_(std::move(ensureLink)) {}

void ObsPlanScreen::Build() {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  auto* head = new QHBoxLayout;
  head->addWidget(Label("нулевые уровни, интервалы и оптимальные значения параметров орбит плана №"));
  head->addWidget(planNoField = Field(50));
  head->addStretch();
  root->addLayout(head);

  auto* g = new QGridLayout;
  g->setHorizontalSpacing(4);
  g->setVerticalSpacing(2);
  const char* columns[] = {"орбита Земли", "нулевые уровни", "", "интервалы", "оптимум (код)", "оптимум"};
  for (int c = 0; c < 6; ++c) g->addWidget(Label(columns[c]), 0, c + 1);
  const char* rows[] = {"Rsr, тыс.км.", "Eks", "Betta, град ", "AlfaP, град", "AlfaU, град", "AlfaL0, град",
                        "рад/100лет"};
  for (int r = 0; r < 7; ++r) {
    const auto i = static_cast<std::size_t>(r);
    g->addWidget(Label(rows[r]), r + 1, 0);
    g->addWidget(earth[i] = Field(), r + 1, 1);
    g->addWidget(zero[i] = Field(), r + 1, 2);
    if (r < 5) {
      g->addWidget(Label("+/-"), r + 1, 3);
      g->addWidget(step[i] = Field(), r + 1, 4);
      g->addWidget(coded[i] = Field(), r + 1, 5);
      g->addWidget(natural[i] = Field(), r + 1, 6);
    }
  }
  g->addWidget(Label("X6opt"), 6, 5, Qt::AlignRight);
  g->addWidget(x6opt = Field(), 6, 6);
  g->setColumnStretch(7, 1);
  root->addLayout(g);

  auto* lower = new QHBoxLayout;
  holdGroup = new ui::OptionGroup(QString(), {"X1opt", "X2opt", "X3opt", "X4opt", "X5opt"}, 0, Qt::Horizontal);
  fromGroup = new ui::OptionGroup(QString(), {"из шаблона", "из файла"}, 0, Qt::Horizontal);
  loadButton = ui::MakeButton("Загрузить план");
  saveButton = ui::MakeButton("Записать план");
  adoptButton = ui::MakeButton("задать X(i)0 = X(i)opt");
  optimizeButton = ui::MakeButton("Оптимизировать 4-е фактора из 5-и без отмеченного");
  allButton = ui::MakeButton("Все");
  moxShowButton = ui::MakeButton("Показать на форме статистики данные имитатора Mox как текст");
  moxAddButton = ui::MakeButton("Добавить оптимальные параметры в файл данных имитатора Mox");
  dataLabel = Label("данные для");

  auto* left = new QVBoxLayout;
  auto* load = new QHBoxLayout;
  load->addWidget(fromGroup);
  load->addWidget(loadButton);
  load->addWidget(saveButton);
  load->addStretch();
  left->addLayout(load);
  left->addWidget(dataLabel);
  auto* opt = new QHBoxLayout;
  opt->addWidget(holdGroup);
  opt->addWidget(adoptButton);
  opt->addStretch();
  left->addLayout(opt);
  auto* run = new QHBoxLayout;
  run->addWidget(optimizeButton);
  run->addWidget(allButton);
  run->addStretch();
  left->addLayout(run);
  lower->addLayout(left);
  auto* mox = new QGroupBox(QString::fromUtf8("Сохранить оптимальные параметры как данные имитатора Mox"));
  auto* moxBox = new QVBoxLayout(mox);
  moxBox->addWidget(moxShowButton);
  moxBox->addWidget(moxAddButton);
  lower->addWidget(mox, 0, Qt::AlignTop);
  lower->addStretch();
  root->addLayout(lower);
  root->addStretch();

  connect(loadButton, &QPushButton::clicked, this, [this] { LoadPlan(); });
  connect(saveButton, &QPushButton::clicked, this, [this] { SavePlan(); });
  connect(adoptButton, &QPushButton::clicked, this, [this] { AdoptPlanOptimum(); });
  connect(optimizeButton, &QPushButton::clicked, this, [this] { OptimizeMarked(); });
  connect(allButton, &QPushButton::clicked, this, [this] { OptimizeEvery(); });
  connect(moxShowButton, &QPushButton::clicked, this, [this] { ShowMox(); });
  connect(moxAddButton, &QPushButton::clicked, this, [this] { AddMox(); });
}

// The observation screen supplies the planet, the dates and the source; used
// before it, this screen has it created first.
bool ObsPlanScreen::Linked() {
  EnsureBuilt();
  if (!link_.planet && ensureLink_) ensureLink_();
  return link_.planet != nullptr;
}

std::optional<int> ObsPlanScreen::Planet() const {
  const auto v = ui::ParseNumber(link_.planet->text());
  if (!v || *v != std::floor(*v) || *v < 0 || *v > 10) return std::nullopt;
  return static_cast<int>(*v);
}

std::optional<ObsPoint> ObsPlanScreen::CodedOptimum() const {
  ObsPoint x{};
  for (int i = 1; i <= kObsFactors; ++i) {
    const auto v = coded[static_cast<std::size_t>(i - 1)]->Number();
    if (!v) return std::nullopt;
    x[static_cast<std::size_t>(i)] = *v;
  }
  return x;
}

void ObsPlanScreen::ShowPlanFields() {
  const double MK = m_.MK;
  auto t6 = [MK](double v) { return Fix(MK * v) / MK; };
  Set(zero[0], Fix(st_.Xzero[1]) / MK);
  Set(step[0], st_.Xstep[1] / MK);
  for (std::size_t i = 2; i <= 5; ++i) {
    Set(zero[i - 1], t6(st_.Xzero[i]));
    Set(step[i - 1], st_.Xstep[i]);
  }
  Set(zero[5], t6(st_.AlfaL0));
  Set(zero[6], t6(st_.W0sr));
  Set(earth[0], Fix(st_.earthR0sr) / MK);
  const double e[] = {st_.earthEks0, st_.earthBetta0, st_.earthAlfaP0, st_.earthAlfaU0, st_.earthAlfaL0, st_.earthW0sr};
  for (std::size_t i = 0; i < 6; ++i) Set(earth[i + 1], t6(e[i]));
}

void ObsPlanScreen::LoadPlan() {
  if (!Linked()) return;
  Load(fromGroup->Selected() == 0);
}

void ObsPlanScreen::Load(bool fromTemplate) {
  const auto no = planNoField->Integer(-32768, 32767);
  const auto Npl = Planet();
  if (!no || !Npl) return Say(kMsgPlanNumbers);
  st_.PlanNo = static_cast<std::int16_t>(*no);
  st_.Npl = *Npl;
  const auto source = link_.source ? link_.source() : std::nullopt;
  if (fromTemplate) {
    const auto d = ui::ParseNumber(link_.day->text()), mo = ui::ParseNumber(link_.month->text()),
               y = ui::ParseNumber(link_.year->text());
    if (!d || !mo || !y || std::fabs(*mo) > 32767 || std::fabs(*y) > 32767) return Say(kMsgTemplate);
    if (link_.dateTrigger) link_.dateTrigger();
    const auto JD = ui::ParseNumber(link_.jd->text());
    if (!JD) return Say(kMsgTemplate);
    Model work;  // the template's elements never touch the shared model
    if (!ui::Report(ObsPlanTemplate(work, *JD, static_cast<float>(*d), static_cast<std::int16_t>(std::lround(*mo)),
                                    static_cast<std::int16_t>(std::lround(*y)), &st_)))
      return;
    fromTemplate_ = true;
  } else {
    if (!source) return Say(kMsgNoSource);
    if (!ui::Report(ReadObsPlanFile(source->first, source->second, folder_, &st_, m_.MK))) return;
    fromTemplate_ = false;
    Set(link_.day, std::strtod(SingleText(st_.StartD).c_str(), nullptr));
    Set(link_.month, st_.StartM);
    Set(link_.year, st_.StartY);
  }
  st_.bSaved = st_.b;
  planDate_ = {st_.StartY, st_.StartM, st_.StartD};
  planNpl_ = st_.Npl;
  dataLabel->setText(QString::fromStdString("план для " + (source ? source->second : std::string()) + " с " +
                                            SingleText(st_.StartD) + "." + std::to_string(st_.StartM) + "." +
                                            std::to_string(st_.StartY) + " по " + std::to_string(st_.EndY)));
  ShowPlanFields();
  Set(link_.vsys[0], st_.VXsys / 1000);
  Set(link_.vsys[1], st_.VYsys / 1000);
  Set(link_.vsys[2], st_.VZsys / 1000);
  for (std::size_t i = 0; i < 5; ++i) {
    Set(coded[i], Fix(m_.MK * st_.Xopt[i + 1]) / m_.MK);
    Set(natural[i], st_.XoptNat[i + 1]);
  }
  Set(x6opt, st_.XoptNat[6]);
  if (link_.reportTrigger) link_.reportTrigger();
}

bool ObsPlanScreen::ReadPlanFields() {
  EnsureBuilt();
  const double MK = m_.MK;
  auto read = [](QLineEdit* f, double* v, double scale = 1.0) {
    const auto x = ui::ParseNumber(f->text());
    if (!x) {
      Say(kMsgPlanFields);
      return false;
    }
    *v = scale * *x;
    return true;
  };
  for (int i = 1; i <= kObsFactors; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const double scale = i == 1 ? MK : 1.0;
    if (!read(zero[k - 1], &st_.Xzero[k], scale) || !read(step[k - 1], &st_.Xstep[k], scale) ||
        !read(coded[k - 1], &st_.Xopt[k]))
      return false;
  }
  if (!read(zero[5], &st_.AlfaL0) || !read(zero[6], &st_.W0sr)) return false;
  double* e[] = {&st_.earthR0sr,   &st_.earthEks0,   &st_.earthBetta0, &st_.earthAlfaP0,
                 &st_.earthAlfaU0, &st_.earthAlfaL0, &st_.earthW0sr};
  for (std::size_t i = 0; i < 7; ++i)
    if (!read(earth[i], e[i], i == 0 ? MK : 1.0)) return false;
  if (link_.planet)
    if (const auto Npl = Planet()) st_.Npl = *Npl;
  return true;
}

void ObsPlanScreen::SavePlan() {
  if (!Linked()) return;
  const auto source = link_.source ? link_.source() : std::nullopt;
  if (!source) return Say(kMsgNoObsSource);
  const auto no = planNoField->Integer(-32768, 32767);
  const auto Npl = Planet();
  if (!no || !Npl) {
    const std::string rel = ObsPlanRelPath(source->first, source->second, Npl.value_or(0), 0);
    return Say(std::string(kMsgPlanWrite) + "\r\n" + rel);
  }
  st_.PlanNo = static_cast<std::int16_t>(*no);
  st_.Npl = *Npl;
  ReadPlanFields();  // a field that is not a number leaves the values then in memory
  double* v[] = {&st_.VXsys, &st_.VYsys, &st_.VZsys};
  for (std::size_t i = 0; i < 3; ++i)
    if (const auto x = ui::ParseNumber(link_.vsys[i]->text())) *v[i] = *x * 1000;
  ui::Report(WriteObsPlanFile(st_, source->first, source->second, folder_, m_.MK));
}

void ObsPlanScreen::AdoptPlanOptimum() {
  EnsureBuilt();
  const auto z = AdoptedZeroLevels(st_, m_.MK);
  for (std::size_t i = 0; i < 5; ++i) Set(zero[i], z[i + 1]);
}

void ObsPlanScreen::ShowOptimum(const FourOfFiveFields& f) {
  for (std::size_t i = 0; i < 5; ++i) {
    Set(coded[i], f.coded[i + 1]);
    Set(natural[i], f.natural[i + 1]);
  }
}

void ObsPlanScreen::OptimizeMarked() {
  EnsureBuilt();
  ReadPlanFields();
  const auto x = CodedOptimum();
  if (!x) return Say(kMsgOptimumFields);
  for (std::size_t i = 1; i <= 5; ++i) st_.Xopt[i] = (*x)[i];
  FourOfFiveFields f;
  if (ui::Report(OptimizeFourOfFive(st_, holdGroup->Selected() + 1, x6opt->Number().value_or(0), folder_, sys_, &f,
                                    m_.MK)))
    ShowOptimum(f);
}

void ObsPlanScreen::OptimizeEvery() {
  EnsureBuilt();
  if (!ReadPlanFields()) return;
  FourOfFiveFields f;
  bool any = false;
  for (const SweepStep& s : OptimizeAll(st_, x6opt->Number().value_or(0), folder_, sys_, &f, m_.MK)) {
    holdGroup->Select(s.f - 1);
    if (ui::Report(s.result)) any = true;
  }
  if (any) ShowOptimum(f);
}

void ObsPlanScreen::ShowMox() {
  if (!Linked()) return;
  const auto Npl = Planet();
  if (!Npl) return Say(kMsgPlanNumbers);
  auto* screen = static_cast<StatisticsScreen*>(nav_.Show("statistics"));
  if (!screen) return;
  std::vector<std::string> listing;
  const ActionResult r = ShowMoxData(folder_, *Npl, screen->stats().table(), &listing);
  screen->ShowListing(listing, r);
}

void ObsPlanScreen::AddMox() {
  if (!Linked()) return;
  auto* screen = static_cast<StatisticsScreen*>(nav_.Get("statistics"));
  if (!screen) return;
  PointTable& t = screen->stats().table();
  if (t.kind != DataKind::ImitatorRun) return Say(kMsgMoxNotLoaded);
  // Element order: AlfaP, AlfaU, Betta, Eks, Rsr, period.
  QLineEdit* fields[] = {natural[3], natural[4], natural[2], natural[1], natural[0], x6opt};
  MoxValues v{};
  for (std::size_t i = 0; i < 6; ++i) {
    const auto x = ui::ParseNumber(fields[i]->text());
    if (!x) return void(ui::Report(RunWriteErrorMessage(t.RunPath)));
    v[i + 1] = *x;
  }
  const auto Npl = Planet();
  const double JDstart = link_.JDstart ? link_.JDstart() : m_.JDstart;
  const double Dnew = MoxPointDate(JDstart, st_.StartY, st_.EndY);
  ui::Report(AddMoxPoint(folder_, Npl.value_or(st_.Npl), v, Dnew,
                         [] { return ui::Messages().Ask(UserMessage{kMoxReplaceQuestion, kTitle}); }, t));
}

bool ObsPlanScreen::FollowDate() {
  if (!fromTemplate_ || !link_.day) return fromTemplate_;
  const auto d = ui::ParseNumber(link_.day->text()), mo = ui::ParseNumber(link_.month->text()),
             y = ui::ParseNumber(link_.year->text());
  const auto Npl = Planet();
  if (!d || !mo || !y || !Npl) return true;
  if (planDate_.year == std::lround(*y) && planDate_.month == std::lround(*mo) &&
      planDate_.day == static_cast<float>(*d) && planNpl_ == *Npl)
    return true;
  std::array<QString, 3> velocity;
  for (std::size_t i = 0; i < 3; ++i) velocity[i] = link_.vsys[i]->text();
  Load(true);
  for (std::size_t i = 0; i < 3; ++i) link_.vsys[i]->setText(velocity[i]);
  return true;
}

void ObsPlanScreen::SetPeriod(double days) {
  EnsureBuilt();
  Set(x6opt, days);
}

void ObsPlanScreen::SetRunDates(float day, int month, int year, int endYear) {
  st_.StartD = day;
  st_.StartM = static_cast<std::int16_t>(month);
  st_.StartY = static_cast<std::int16_t>(year);
  st_.EndY = static_cast<std::int16_t>(endYear);
}

}  // namespace torvik
