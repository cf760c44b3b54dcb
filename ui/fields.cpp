#include "ui/fields.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QLocale>
#include <charconv>
#include <cmath>
#include <string>

#include "core/fields.h"

namespace torvik::ui {

QString FormatNumber(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  if (ec != std::errc()) return QString();
  return LocaleText(std::string(buf, end));
}

QString LocaleText(const std::string& text) {
  QString s = QString::fromStdString(text);
  const QString point = QLocale().decimalPoint();
  if (point != QStringLiteral(".")) s.replace(QLatin1Char('.'), point);
  return s;
}

std::optional<double> ParseNumber(const QString& text) { return ParseFieldNumber(text.toStdString()); }

NumberField::NumberField(QWidget* parent) : QLineEdit(parent) {}

NumberField::NumberField(double value, QWidget* parent) : QLineEdit(parent) { SetNumber(value); }

std::optional<int> NumberField::Integer(int lo, int hi) const {
  auto v = Number();
  if (!v || *v != std::trunc(*v) || *v < lo || *v > hi) return std::nullopt;
  return static_cast<int>(*v);
}

QCheckBox* MakeCheck(const QString& caption, bool on, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setChecked(on);
  return box;
}

QPushButton* MakeButton(const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setAutoDefault(false);
  return button;
}

OptionGroup::OptionGroup(const QString& title, const QStringList& captions, int selected,
                         Qt::Orientation orientation, QWidget* parent)
    : QGroupBox(title, parent) {
  auto* layout = new QBoxLayout(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
  layout->setContentsMargins(4, 2, 4, 2);
  layout->setSpacing(orientation == Qt::Vertical ? 0 : 6);
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < captions.size(); ++i) {
    auto* option = new QRadioButton(captions[i], this);
    group->addButton(option, i);
    layout->addWidget(option);
    options_.push_back(option);
  }
  if (selected >= 0 && selected < Count()) Option(selected)->setChecked(true);
  connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) emit Changed(id);
  });
}

int OptionGroup::Selected() const {
  for (int i = 0; i < Count(); ++i)
    if (Option(i)->isChecked()) return i;
  return -1;
}

void OptionGroup::Select(int index) {
  if (index >= 0 && index < Count()) Option(index)->setChecked(true);
}

}  // namespace torvik::ui
