// Typed fields of the screens. Numbers are shown with the decimal separator of
// the user's locale and accepted with either "." or ","; a field that does not
// hold a number reads as std::nullopt, and the action reports its own message.
#pragma once

#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

namespace torvik::ui {

// A number as every field shows it, with the locale's decimal separator: the
// six-decimal display rule (DisplayNumberText: "574,6", "-276", "0" for −0,
// "0,123456" for 0.1234567, "1,98892e+30").
QString FormatNumber(double v);
// The shortest text that reads back to the same double ("0,30000000000000004"),
// for tool tips and texts that must keep every digit.
QString FormatNumberExact(double v);
// A number typed by the user: blanks around it ignored, "." or "," as the
// decimal separator, an optional sign and exponent. Empty text, other
// characters, infinities and NaN give std::nullopt.
std::optional<double> ParseNumber(const QString& text);

// A text computed with "." as the decimal separator, shown with the locale's
// ("(справочно 87,96926 дней)" in a Russian locale).
QString LocaleText(const std::string& text);

// A field shows its text from the first character (the sign and the integer
// part of a number, never the scrolled end) whenever the program sets it and
// when the user leaves it, with the whole text as its tool tip. Applying it
// twice changes nothing.
void ShowFromStart(QLineEdit* field);
// A field whose tool tip says what it is (a trigger field of another screen):
// the note, then the field's text.
void SetFieldNote(QLineEdit* field, const QString& note);
// Cells of an item view that are too narrow for their text elide it in the
// middle (the sign and the exponent stay) and show it whole as a tool tip.
void ElideCellsInTheMiddle(QAbstractItemView* view);
// Both of the above for every field and item view under `root` (the screen
// base applies it to each screen's content when it is built).
void FitFields(QWidget* root);

// A one-line text field that reads and shows numbers, from the first digit.
class NumberField : public QLineEdit {
  Q_OBJECT

 public:
  explicit NumberField(QWidget* parent = nullptr);
  NumberField(double value, QWidget* parent = nullptr);

  // The number typed; a number the program set and nobody changed since reads
  // back whole, with the digits that the display rule leaves out.
  std::optional<double> Number() const;
  // The number as a whole value when it is an integer within [lo, hi].
  std::optional<int> Integer(int lo, int hi) const;
  // Shows the number by the display rule, with every digit in the tool tip.
  void SetNumber(double v);

 private:
  QString setText_;
  double setValue_ = 0;
};

// Shows a number in any field by the display rule: a NumberField keeps the
// whole value for reading back, another field shows it in its tool tip.
void ShowNumber(QLineEdit* field, double v);

// A check box with its exact caption and default state.
QCheckBox* MakeCheck(const QString& caption, bool on, QWidget* parent = nullptr);
// A button with its exact caption (double blanks and trailing blanks kept).
QPushButton* MakeButton(const QString& caption, QWidget* parent = nullptr);

// A group of options of which exactly one is selected; `Changed` is emitted
// when the user or the program picks another one.
class OptionGroup : public QGroupBox {
  Q_OBJECT

 public:
  OptionGroup(const QString& title, const QStringList& captions, int selected,
              Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

  int Selected() const;
  void Select(int index);  // emits Changed when the selection moves
  QRadioButton* Option(int index) const { return options_.at(static_cast<std::size_t>(index)); }
  int Count() const { return static_cast<int>(options_.size()); }

 signals:
  void Changed(int index);

 private:
  std::vector<QRadioButton*> options_;
};

}  // namespace torvik::ui
