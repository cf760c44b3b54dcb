#include "tools/screens/help.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "tools/helptext.h"
#include "ui/fields.h"

namespace torvik {

HelpScreen::HelpScreen(ui::Navigator& nav) : ui::Screen(kHelpTitle), nav_(nav) {}

void HelpScreen::Build() {
  auto* layout = new QVBoxLayout(this);
  text = new QPlainTextEdit;
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  QStringList lines;
  for (const std::string& line : HelpLines()) lines << QString::fromStdString(line);
  text->setPlainText(lines.join('\n'));
  layout->addWidget(text, 1);
  layout->addWidget(new QLabel("Кнопки, помеченные звездочкой (*), открывают вспомогательные формы."));
  layout->addWidget(new QLabel("Все файлы программы лежат в ее папке; схема папок - кнопка \"Файлы*\"."));
  filesButton = ui::MakeButton("Файлы*");
  closeButton = ui::MakeButton("Закрыть");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(filesButton);
  buttons->addWidget(closeButton);
  layout->addLayout(buttons);
  connect(filesButton, &QPushButton::clicked, this, [this] { nav_.Show("files"); });
  connect(closeButton, &QPushButton::clicked, this, [this] { hide(); });
  resize(900, 640);
}

void RegisterToolsScreens(ui::Navigator& nav) {
  nav.Register("help", [&nav] { return std::make_unique<HelpScreen>(nav); });
  nav.Register("notation", [] { return std::make_unique<NotationScreen>(); });
  nav.Register("files", [] { return std::make_unique<FileMapScreen>(); });
}

}  // namespace torvik
