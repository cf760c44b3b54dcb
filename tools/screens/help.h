// The three information screens reached from the parameters screen and the
// statistics screens: the help on the buttons, the notation picture and the
// map of the program folder. None of them reads or changes the model.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRect>
#include <vector>

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
  explicit HelpScreen(ui::Navigator& nav);
  QPlainTextEdit* text = nullptr;
  QPushButton *filesButton = nullptr, *closeButton = nullptr;

 protected:
  void Build() override;

 private:
  ui::Navigator& nav_;
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

// The property of each folder frame of the file map: the sub-folders of the
// program folder (QStringList, "/" between components) that it stands for.
inline constexpr const char* kFileMapFolders = "folders";

class FileMapScreen : public ui::Screen {
  Q_OBJECT

 public:
  FileMapScreen();
  QPushButton* closeButton = nullptr;

 protected:
  void Build() override;
};

// Draws the notation picture on a picture of 720 x 560 pixels; with `labels`
// false only its lines and marks. Returns the pixel rectangles of the labels,
// drawn or not.
std::vector<QRect> DrawNotation(ui::Picture& picture, bool labels = true);

// Registers "help", "notation" and "files" with the navigator.
void RegisterToolsScreens(ui::Navigator& nav);

}  // namespace torvik
