#include "tools/screens/help.h"

#include <QVBoxLayout>

#include "tools/helptext.h"
#include "ui/fields.h"

namespace torvik {

HelpScreen::HelpScreen() : ui::Screen(kHelpTitle) {}

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
  closeButton = ui::MakeButton("Закрыть");
  layout->addWidget(closeButton, 0, Qt::AlignRight);
  connect(closeButton, &QPushButton::clicked, this, [this] { hide(); });
  resize(900, 640);
}

void RegisterToolsScreens(ui::Navigator& nav) {
  nav.Register("help", [] { return std::make_unique<HelpScreen>(); });
  nav.Register("notation", [] { return std::make_unique<NotationScreen>(); });
  nav.Register("files", [] { return std::make_unique<FileMapScreen>(); });
}

}  // namespace torvik
