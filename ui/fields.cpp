#include "ui/fields.h"

#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QHelpEvent>
#include <QLocale>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <charconv>
#include <cmath>
#include <string>

#include "core/fields.h"

namespace torvik::ui {

QString FormatNumber(double v) { return LocaleText(DisplayNumberText(v)); }

QString FormatNumberExact(double v) {
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

namespace {

// The default delegate, with the whole text as the tool tip of a cell too
// narrow for it.
class ElidingDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip || index.data(Qt::ToolTipRole).isValid())
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QStyle* style = view->style();
    const int room = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view).width() -
                     2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, &item, view) + 1);
    if (item.fontMetrics.horizontalAdvance(item.text) > room) {
      QToolTip::showText(event->globalPos(), item.text, view);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
};

}  // namespace

namespace {

QString ToolTipOf(const QLineEdit* field) {
  const QString note = field->property("torvikNote").toString();
  if (note.isEmpty()) return field->text();
  return field->text().isEmpty() ? note : note + ": " + field->text();
}

}  // namespace

void SetFieldNote(QLineEdit* field, const QString& note) {
  field->setProperty("torvikNote", note);
  field->setToolTip(ToolTipOf(field));
}

void ShowFromStart(QLineEdit* field) {
  if (field->property("torvikFromStart").toBool()) return;
  field->setProperty("torvikFromStart", true);
  auto toStart = [field] {
    field->setCursorPosition(0);
    field->setToolTip(ToolTipOf(field));
  };
  // Typing moves the cursor itself; only a text set by the program (or left
  // by the user) goes back to its start.
  QObject::connect(field, &QLineEdit::textChanged, field, [field, toStart] {
    if (field->hasFocus() && !field->isReadOnly()) {
      field->setToolTip(ToolTipOf(field));
    } else {
      toStart();
    }
  });
  QObject::connect(field, &QLineEdit::editingFinished, field, toStart);
  toStart();
}

void ElideCellsInTheMiddle(QAbstractItemView* view) {
  view->setTextElideMode(Qt::ElideMiddle);
  if (view->itemDelegate() && view->itemDelegate()->metaObject() == &QStyledItemDelegate::staticMetaObject)
    view->setItemDelegate(new ElidingDelegate(view));
}

void FitFields(QWidget* root) {
  for (QLineEdit* field : root->findChildren<QLineEdit*>()) {
    // The editors inside spin and combo boxes keep their own behaviour.
    if (qobject_cast<QAbstractSpinBox*>(field->parentWidget()) || qobject_cast<QComboBox*>(field->parentWidget()))
      continue;
    ShowFromStart(field);
  }
  for (QAbstractItemView* view : root->findChildren<QAbstractItemView*>()) ElideCellsInTheMiddle(view);
}

NumberField::NumberField(QWidget* parent) : QLineEdit(parent) { ShowFromStart(this); }

NumberField::NumberField(double value, QWidget* parent) : QLineEdit(parent) {
  ShowFromStart(this);
  SetNumber(value);
}

std::optional<double> NumberField::Number() const {
  if (!setText_.isNull() && text() == setText_) return setValue_;
  return ParseNumber(text());
}

void NumberField::SetNumber(double v) {
  const QString shown = FormatNumber(v);
  setText_ = shown;
  setValue_ = v;
  setText(shown);
  setToolTip(FormatNumberExact(v));
}

std::optional<int> NumberField::Integer(int lo, int hi) const {
  auto v = Number();
  if (!v || *v != std::trunc(*v) || *v < lo || *v > hi) return std::nullopt;
  return static_cast<int>(*v);
}

void ShowNumber(QLineEdit* field, double v) {
  if (auto* n = qobject_cast<NumberField*>(field)) {
    n->SetNumber(v);
  } else {
    field->setText(FormatNumber(v));
    field->setToolTip(FormatNumberExact(v));
  }
  field->setCursorPosition(0);
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
