// The three information screens reached from the parameters screen and the
// statistics screens: the help on the buttons, the notation picture and the
// map of the program folder. None of them reads or changes the model.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/picture.h"
#include "ui/fields.h"
#include "ui/screen.h"

namespace torvik {

inline constexpr const char* kHelpTitle = "Справка по кнопкам  программы Torvik6";
inline constexpr const char* kNotationTitle = "Система координат в программе Torvik6";
inline constexpr const char* kFileMapTitle = "Файловая система программы Torvik6";

class HelpScreen : public ui::Screen {
  Q_OBJECT

 public:
  HelpScreen();
  QPlainTextEdit* text = nullptr;
  QPushButton* closeButton = nullptr;

 protected:
  void Build() override;
};

class NotationScreen : public ui::Screen {
  Q_OBJECT

 public:
  NotationScreen();
  ui::Picture* picture = nullptr;

 protected:
  void Build() override;

 private:
  void Draw();
};

class FileMapScreen : public ui::Screen {
  Q_OBJECT

 public:
  FileMapScreen();
  QPushButton* closeButton = nullptr;

 protected:
  void Build() override;
};

// Registers "help", "notation" and "files" with the navigator.
void RegisterToolsScreens(ui::Navigator& nav);

}  // namespace torvik
