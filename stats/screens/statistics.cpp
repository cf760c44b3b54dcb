#include "stats/screens/statistics.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>

#include "core/textfile.h"
#include "ui/messages.h"

namespace torvik {

namespace {

// The largest surface a widget can be, in pixels.
constexpr double kMaxSurfacePixels = 16000000;
const char* const kImitatorFolders[] = {"NEW", "APC", "JPL", "Mox"};

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

ui::NumberField* Field(double value, int width, bool readOnly = false) {
  auto* f = new ui::NumberField(value);
  f->setFixedWidth(width);
  f->setReadOnly(readOnly);
  f->setCursorPosition(0);
  return f;
}

QLineEdit* Display(int width) {
  auto* f = new QLineEdit;
  f->setFixedWidth(width);
  f->setReadOnly(true);
  return f;
}

// Labels and widgets side by side: strings become captions.
struct Row {
  QHBoxLayout* layout = new QHBoxLayout;
  Row& operator<<(const char* caption) {
    layout->addWidget(new QLabel(QString::fromUtf8(caption)));
    return *this;
  }
  Row& operator<<(QWidget* w) {
    layout->addWidget(w);
    return *this;
  }
  Row& Gap(int px = 12) {
    layout->addSpacing(px);
    return *this;
  }
};

// A result as the fields show it: the display rule, every digit in the tool tip.
void SetNumber(QLineEdit* f, double v) {
  if (auto* n = qobject_cast<ui::NumberField*>(f)) {
    n->SetNumber(v);
  } else {
    f->setText(ui::FormatNumber(v));
    f->setToolTip(ui::FormatNumberExact(v));
  }
  f->setCursorPosition(0);  // the number from its first digit
}

}  // namespace

// ---------------------------------------------------------------------------

PlotSurface::PlotSurface(const Plot& plot, QWidget* parent) : QWidget(parent), plot_(plot) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The size the plot's text layout counts with.
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(static_cast<int>(kPlotFontPixels));
  setFont(f);
}

QSize PlotSurface::PlotPixels() const {
  auto px = [](double cm) { return static_cast<int>(std::clamp(std::ceil(cm * kPlotPixelsPerCm), 1.0, kMaxSurfacePixels)); };
  return QSize(px(plot_.W), px(plot_.H));
}

void PlotSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  painter.setClipRect(event->rect());
  painter.setFont(font());
  const double k = kPlotPixelsPerCm, H = plot_.H;
  const QRectF visible = QRectF(event->rect()).adjusted(-2, -2, 2, 2);
  auto P = [&](double x, double y) { return QPointF(x * k, (H - y) * k); };
  auto finite = [](const PlotItem& it) {
    return std::isfinite(it.x1) && std::isfinite(it.y1) && std::isfinite(it.x2) && std::isfinite(it.y2) &&
           std::fabs(it.x1) < 1e7 && std::fabs(it.y1) < 1e7 && std::fabs(it.x2) < 1e7 && std::fabs(it.y2) < 1e7;
  };
  for (const PlotItem& it : plot_.items) {
    if (!finite(it)) continue;
    const QColor c = ToQColor(it.colour);
    switch (it.kind) {
      case PlotItem::Kind::Line: {
        const QPointF a = P(it.x1, it.y1), b = P(it.x2, it.y2);
        if (!visible.intersects(QRectF(a, b).normalized().adjusted(-1, -1, 1, 1))) break;
        painter.setPen(QPen(c, 0));
        painter.drawLine(a, b);
        break;
      }
      case PlotItem::Kind::Dot: {
        const QPointF a = P(it.x1, it.y1);
        if (!visible.contains(a)) break;
        painter.setPen(QPen(c, 0));
        painter.drawPoint(a);
        break;
      }
      case PlotItem::Kind::Circle: {
        const QPointF a = P(it.x1, it.y1);
        const double r = it.r * k;
        if (!visible.intersects(QRectF(a.x() - r, a.y() - r, 2 * r, 2 * r))) break;
        painter.setPen(QPen(c, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(a, r, r);
        break;
      }
      case PlotItem::Kind::Text: {
        const QPointF a = P(it.x1, it.y1);
        if (a.y() > visible.bottom() || a.y() + 40 < visible.top() || a.x() > visible.right()) break;
        painter.setPen(c);
        painter.drawText(QRectF(a.x(), a.y(), 1e5, 100), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                         ui::LocaleText(it.text));
        break;
      }
    }
  }
}

void PlotSurface::mousePressEvent(QMouseEvent* event) {
  if (onPress && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
    onPress(event->position().x() / kPlotPixelsPerCm, event->button() == Qt::LeftButton);
}

// ---------------------------------------------------------------------------

StatisticsScreen::StatisticsScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder)
    : ui::Screen(kStatisticsTitle), m_(m), nav_(nav), stats_(Statistics::ModelColours(m), std::move(folder)) {
  stats_.ask = [](const UserMessage& q) { return ui::Messages().Ask(q); };
}

void StatisticsScreen::Build() {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  root->setSpacing(3);

  // The plot viewport with its scroll bars, and the selections beside it.
  auto* top = new QHBoxLayout;
  root->addLayout(top);
  auto* view = new QGridLayout;
  view->setSpacing(0);
  top->addLayout(view);
  viewport = new QWidget;
  viewport->setFixedSize(kViewportWidth, kViewportHeight);
  viewport->setAutoFillBackground(true);
  surface = new PlotSurface(stats_.plot(), viewport);
  surface->onPress = [this](double x, bool left) { OnPress(x, left); };
  hBar = new QScrollBar(Qt::Horizontal);
  hBar->setRange(0, 100);
  hBar->setPageStep(10);
  hBar->setValue(0);
  vBar = new QScrollBar(Qt::Vertical);
  vBar->setRange(0, 100);
  vBar->setPageStep(10);
  vBar->setValue(100);
  view->addWidget(viewport, 0, 0);
  view->addWidget(vBar, 0, 1);
  view->addWidget(hBar, 1, 0);
  view->setRowStretch(2, 1);
  connect(hBar, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });
  connect(vBar, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });

  auto* choices = new QGridLayout;
  choices->setSpacing(2);
  top->addLayout(choices);
  source = new ui::OptionGroup("на", {"имитаторе", "модели"}, 1);
  imitators = new ui::OptionGroup("имитаторы", {"New", "APC", "JPL", "Mox"}, 2);
  planKind = new ui::OptionGroup("план для модели", {"B4D", "O4K"}, 0);
  planet = new ui::OptionGroup("для планеты",
                               {"Меркурий", "Венера", "Земля", "Марс", "Юпитер", "Сатурн", "Уран", "Нептун",
                                "Плутон", "Ксена"},
                               0);
  element = new ui::OptionGroup("по параметру",
                                {"Перигелию", "Узлу восхождения", "Углу наклона", "Эксцентриситету",
                                 "Большой оси эллипса", "Периоду обращения"},
                                0);
  ncoef = new ui::OptionGroup("кол-во коэффициентов", {"1", "2", "3 "}, 1, Qt::Horizontal);
  criterion = new ui::OptionGroup("критерий при переборе", {"min", "maxmin", "sr"}, 1, Qt::Horizontal);
  auto* col1 = new QVBoxLayout;
  col1->addWidget(source);
  col1->addWidget(imitators);
  col1->addWidget(planKind);
  col1->addStretch();
  choices->addLayout(col1, 0, 0);
  auto* col2 = new QVBoxLayout;
  col2->addWidget(planet);
  col2->addStretch();
  choices->addLayout(col2, 0, 1);
  auto* col3 = new QVBoxLayout;
  col3->addWidget(element);
  col3->addWidget(ncoef);
  col3->addWidget(criterion);
  col3->addStretch();
  choices->addLayout(col3, 0, 2);
  top->addStretch();

  // Fields, switches and buttons below.
  const StatsInputs d;
  mx1 = Field(d.MX1, 60);
  mp = Field(d.MP, 60);
  mdp = Field(d.MdP, 60);
  mx2 = Field(d.MX2, 60);
  overlay = ui::MakeCheck("с наложением новых данных цветом №", false);
  colour = Field(d.colour, 35);
  Row scales;
  scales << "MX1, лет/см" << mx1 << "MP(град,ед,т.км, дни)/см" << mp << "MdP(сек,ед,т.км,мин)/см" << mdp
         << "MX2, точек/см" << mx2;
  scales.Gap(20) << overlay << colour;
  scales.layout->addStretch();
  root->addLayout(scales.layout);

  firstDay = Display(70), firstMonth = Display(35), firstYear = Display(50), firstValue = Display(110);
  lastDay = Display(70), lastMonth = Display(35), lastYear = Display(50), lastValue = Display(110);
  iStart = Field(d.IStart, 55);
  iEnd = Field(d.IEnd, 55);
  Row points;
  points << "начальная точка №" << iStart << "дата" << firstDay << firstMonth << firstYear << "параметр" << firstValue;
  points.Gap(20) << "конечная точка №" << iEnd << "дата" << lastDay << lastMonth << lastYear << "параметр" << lastValue;
  points.layout->addStretch();
  root->addLayout(points.layout);

  nPoint = Field(d.NPoint, 60);
  ncp = Field(d.NCP, 50);
  t0 = Field(d.T0, 55);
  tYear = Field(d.TYear, 55);
  Row groups;
  groups << "точек в выборке" << nPoint << "с разбивкой всей выборки на группы по" << ncp << "точек";
  groups.Gap(20) << "год начала" << t0 << "год точки" << tYear;
  sweep = ui::MakeCheck("с перебором всех вариантов разбивки на группы", false);
  groups.Gap(20) << sweep;
  groups.layout->addStretch();
  root->addLayout(groups.layout);

  test = ui::MakeCheck("Теста   Alfa = k0 + k1*dT + k2*dT^2 + k3*(Rnd (dT) - 0,5)", false);
  k0 = Field(d.k0, 120), k1 = Field(d.k1, 120), k2 = Field(d.k2, 120), k3 = Field(d.k3, 60);
  Row series;
  series << test << " k0=" << k0 << " k1=" << k1 << " k2=" << k2 << " k3=" << k3;
  series.layout->addStretch();
  root->addLayout(series.layout);

  loadButton = ui::MakeButton("Загрузить данные вычислительного эксперимента полученные");
  plan = Field(d.plan, 40);
  experiment = Field(d.experiment, 40);
  processButton = ui::MakeButton("Обработать данные ");
  Row load;
  load << loadButton << "план №" << plan << "эксперимент №" << experiment;
  load.Gap(20) << processButton;
  load.layout->addStretch();
  root->addLayout(load.layout);

  drift = Field(d.computedDrift, 130);
  limit = Field(0, 130);
  driftInFile = Field(0, 130);
  Row results;
  results << "рассчитанное смещение" << drift << "предельное отклонение" << limit
          << "смещение в файле (сек, ед.*10^6, тыс.км., мин)" << driftInFile;
  results.layout->addStretch();
  root->addLayout(results.layout);

  loadDriftButton = ui::MakeButton("Загрузить значения смещений в файле");
  replaceButton = ui::MakeButton("Изменить это смещение на рассчитанное");
  deleteButton = ui::MakeButton("Удалить точку №");
  deleteNo = Field(d.deleteNo, 50);
  Row files;
  files << loadDriftButton << replaceButton;
  files.Gap(20) << deleteButton << deleteNo;
  files.layout->addStretch();
  root->addLayout(files.layout);

  addButton = ui::MakeButton("Добавить в файл точку от");
  addDay = Field(d.addDay, 50), addMonth = Field(d.addMonth, 35), addYear = Field(d.addYear, 55);
  addValue = Field(d.addValue, 110);
  toPlanButton = ui::MakeButton("К плану");
  filesButton = ui::MakeButton("Файлы*");
  closeButton = ui::MakeButton("Закрыть форму");
  Row edit;
  edit << addButton << addDay << addMonth << addYear << "с параметром" << addValue;
  edit.layout->addStretch();
  edit << toPlanButton << filesButton << closeButton;
  root->addLayout(edit.layout);
  root->addStretch();

  connect(loadButton, &QPushButton::clicked, this, [this] { OnLoadRunFile(); });
  connect(processButton, &QPushButton::clicked, this, [this] { OnProcess(); });
  connect(loadDriftButton, &QPushButton::clicked, this, [this] { OnLoadDriftFile(); });
  connect(replaceButton, &QPushButton::clicked, this, [this] { OnReplaceDrift(); });
  connect(deleteButton, &QPushButton::clicked, this, [this] { OnDeletePoint(); });
  connect(addButton, &QPushButton::clicked, this, [this] { OnAddPoint(); });
  connect(toPlanButton, &QPushButton::clicked, this, [this] { nav_.Show("optimization"); });
  connect(filesButton, &QPushButton::clicked, this, [this] { nav_.Show("files"); });
  connect(closeButton, &QPushButton::clicked, this, [this] { hide(); });
  ApplyPlot();
}

// ---------------------------------------------------------------------------

// Reads fields; a field that is not a number (or outside its range) reads as
// 0 and is noted, and each action fails only on the fields it uses.
struct StatisticsScreen::Reader {
  std::vector<const QLineEdit*> bad;
  double Num(const ui::NumberField* f, double lo = -1e300, double hi = 1e300) {
    auto v = f->Number();
    if (!v || *v < lo || *v > hi) {
      bad.push_back(f);
      return 0;
    }
    return *v;
  }
  std::int32_t Int(const ui::NumberField* f, double lo, double hi) {
    return static_cast<std::int32_t>(std::nearbyint(Num(f, lo, hi)));
  }
  bool Ok(std::initializer_list<const QLineEdit*> used) const {
    for (const QLineEdit* f : used)
      if (std::find(bad.begin(), bad.end(), f) != bad.end()) return false;
    return true;
  }
};

StatsInputs StatisticsScreen::Inputs(Reader& r) const {
  StatsInputs in;
  in.imitatorSource = source->Selected() == 0;
  in.imitatorFolder = kImitatorFolders[std::clamp(imitators->Selected(), 0, 3)];
  in.planLetter = planKind->Selected() == 1 ? 'O' : 'B';
  in.planet = planet->Selected() + 1;
  in.p = element->Selected() + 1;
  in.NCoef = ncoef->Selected() + 1;
  in.criterion = static_cast<Criterion>(std::clamp(criterion->Selected(), 0, 2));
  in.test = test->isChecked();
  in.sweep = sweep->isChecked();
  in.overlay = overlay->isChecked();
  in.plan = r.Int(plan, 0, 32767);
  in.experiment = r.Int(experiment, 0, 2147483647);
  in.MX1 = r.Num(mx1), in.MP = r.Num(mp), in.MdP = r.Num(mdp), in.MX2 = r.Num(mx2);
  in.colour = r.Int(colour, 0, 13);
  in.NPoint = r.Int(nPoint, -2147483648.0, 2147483647);
  in.NCP = r.Int(ncp, -2147483648.0, 2147483647);
  in.IStart = r.Int(iStart, -2147483648.0, 2147483647);
  in.IEnd = r.Int(iEnd, -2147483648.0, 2147483647);
  in.T0 = r.Int(t0, -1e6, 1e6);
  in.TYear = r.Num(tYear);
  in.k0 = r.Num(k0), in.k1 = r.Num(k1), in.k2 = r.Num(k2), in.k3 = r.Num(k3);
  in.computedDrift = r.Num(drift);
  in.deleteNo = r.Int(deleteNo, -2147483648.0, 2147483647);
  in.addDay = static_cast<float>(r.Num(addDay, -1e6, 1e6));
  in.addMonth = r.Int(addMonth, 1, 12);
  in.addYear = r.Int(addYear, -1e6, 1e6);
  in.addValue = r.Num(addValue);
  return in;
}

void StatisticsScreen::Show(const StatsFields& f) {
  auto set = [](QLineEdit* field, const auto& v) {
    if (v) SetNumber(field, static_cast<double>(*v));
  };
  set(drift, f.Drift);
  set(limit, f.Limit);
  set(k0, f.k0);
  set(k1, f.k1);
  set(k2, f.k2);
  set(ncp, f.NCP);
  set(nPoint, f.NPoint);
  set(iStart, f.IStart);
  set(iEnd, f.IEnd);
  set(t0, f.T0);
  set(mx1, f.MX1);
  set(mp, f.MP);
  set(driftInFile, f.driftInFile);
  set(firstValue, f.firstValue);
  set(lastValue, f.lastValue);
  auto date = [](const std::optional<CalendarDate>& d, QLineEdit* day, QLineEdit* month, QLineEdit* year) {
    if (!d) return;
    day->setText(ui::LocaleText(SingleText(d->day)));
    month->setText(QString::number(d->month));
    year->setText(QString::number(d->year));
  };
  date(f.firstDate, firstDay, firstMonth, firstYear);
  date(f.lastDate, lastDay, lastMonth, lastYear);
}

void StatisticsScreen::Finish(const StatsOutcome& o) {
  Show(o.fields);
  ApplyPlot();
  ui::Report(o.message);
}

void StatisticsScreen::ApplyPlot() {
  if (!surface) return;
  surface->resize(surface->PlotPixels());
  ApplyScroll();
  surface->update();
}

void StatisticsScreen::ApplyScroll() {
  // Horizontal v: left = (surface width − viewport width)·(−v)/100; vertical v:
  // top = (viewport height − surface height − 4)·v/100, so 100 shows the bottom.
  const QSize s = surface->size();
  const int left = static_cast<int>(std::lround((s.width() - kViewportWidth) * (-hBar->value()) / 100.0));
  const int top = static_cast<int>(std::lround((kViewportHeight - s.height() - 4) * vBar->value() / 100.0));
  surface->move(left, top);
}

// ---------------------------------------------------------------------------

void StatisticsScreen::OnLoadRunFile() {
  Reader r;
  const StatsInputs in = Inputs(r);
  if (!r.Ok({plan, experiment, mx1, mp, colour})) return void(ui::Report(ReadErrorMessage(Statistics::RunPathOf(in))));
  Finish(stats_.LoadRunFile(in));
}

void StatisticsScreen::OnProcess() {
  Reader r;
  const StatsInputs in = Inputs(r);
  if (!r.Ok({mx1, mp, mdp, mx2, colour, nPoint, ncp, iStart, iEnd, t0, tYear, k0, k1, k2, k3}))
    return void(ui::Report(UserMessage{kProcessingError, kTitle}));
  Finish(stats_.ProcessData(in));
}

void StatisticsScreen::OnLoadDriftFile() {
  Reader r;
  const StatsInputs in = Inputs(r);
  if (!r.Ok({plan, experiment}))
    return void(ui::Report(ReadErrorMessage(in.imitatorSource ? ImitatorDriftPath(in.imitatorFolder)
                                                              : PlanDriftPath(in.plan, in.planet, in.planLetter))));
  Finish(stats_.LoadDriftFile(in));
}

void StatisticsScreen::OnReplaceDrift() {
  Reader r;
  const StatsInputs in = Inputs(r);
  if (!r.Ok({plan, experiment, drift}))
    return void(ui::Report(DriftWriteErrorMessage(in.imitatorSource ? ImitatorDriftPath(in.imitatorFolder)
                                                                    : PlanDriftPath(in.plan, in.planet, in.planLetter))));
  Finish(stats_.ReplaceDrift(in));
}

void StatisticsScreen::OnDeletePoint() {
  Reader r;
  const StatsInputs in = Inputs(r);
  if (!r.Ok({deleteNo})) return void(ui::Report(RunWriteErrorMessage(stats_.points().RunPath)));
  Finish(stats_.DeletePoint(in));
}

void StatisticsScreen::OnAddPoint() {
  Reader r;
  const StatsInputs in = Inputs(r);
  if (!r.Ok({addDay, addMonth, addYear, addValue})) return void(ui::Report(RunWriteErrorMessage(stats_.points().RunPath)));
  Finish(stats_.AddPoint(in));
}

void StatisticsScreen::SelectRun(bool imitatorRun, const QString& imitatorFolder, int planNo, int planetNo,
                                 int fileNo) {
  EnsureBuilt();
  source->Select(imitatorRun ? 0 : 1);
  if (imitatorRun) {
    for (int k = 0; k < 4; ++k)
      if (imitatorFolder.compare(QString::fromUtf8(kImitatorFolders[k]), Qt::CaseInsensitive) == 0) imitators->Select(k);
  } else {
    plan->SetNumber(planNo);
    experiment->SetNumber(fileNo);
    planKind->Select(0);  // runs write "RasB" files
  }
  if (planetNo >= 1 && planetNo <= 10) planet->Select(planetNo - 1);
}

void StatisticsScreen::OnPress(double x, bool left) {
  Reader r;
  const StatsInputs in = Inputs(r);
  if (!r.Ok({mx1})) return void(ui::Report(UserMessage{kPointNotFound, kTitle}));
  Finish(stats_.SelectPoint(x, left, in));
}

}  // namespace torvik
