#include "ui/messages.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QString>

#include "core/paths.h"

namespace torvik::ui {
namespace {

// A box shows CR LF as one line break.
QString BoxText(const std::string& text) { return QString::fromStdString(text).replace("\r\n", "\n"); }

class BoxMessages : public MessageService {
 public:
  void Show(const UserMessage& m) override {
    QMessageBox::information(QApplication::activeWindow(), QString::fromStdString(m.title), BoxText(m.text));
  }
  bool Ask(const UserMessage& m) override {
    return QMessageBox::question(QApplication::activeWindow(), QString::fromStdString(m.title), BoxText(m.text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  }
};

MessageService*& Installed() {
  static MessageService* installed = nullptr;
  return installed;
}

std::filesystem::path& ProgramFolder() {
  static std::filesystem::path folder;
  return folder;
}

// Hands every message, with its paths shown in full, to the service in use.
class ShowingPaths : public MessageService {
 public:
  void Show(const UserMessage& m) override { Target().Show(UserMessage{ShownText(m.text), m.title}); }
  bool Ask(const UserMessage& m) override { return Target().Ask(UserMessage{ShownText(m.text), m.title}); }

 private:
  static MessageService& Target() {
    static BoxMessages boxes;
    MessageService* s = Installed();
    return s ? *s : boxes;
  }
};

}  // namespace

MessageService& Messages() {
  static ShowingPaths service;
  return service;
}

void SetProgramFolder(const std::filesystem::path& folder) { ProgramFolder() = folder; }

std::string ShownText(const std::string& text) {
  const std::filesystem::path& folder = ProgramFolder();
  if (folder.empty()) return text;
  std::string out;
  std::size_t at = 0;
  while (true) {
    const std::size_t end = text.find("\r\n", at);
    std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    // A relative path of the system: its own line after the first, starting with "\".
    if (at > 0 && !line.empty() && line[0] == '\\')
      line = QDir::toNativeSeparators(QString::fromStdString(ResolvePath(folder, line).string())).toStdString();
    out += line;
    if (end == std::string::npos) break;
    out += "\r\n";
    at = end + 2;
  }
  return out;
}

bool Report(const ActionResult& result) {
  if (!result) return true;
  Messages().Show(*result);
  return false;
}

CapturedMessages::CapturedMessages() : previous_(Installed()) { Installed() = this; }

CapturedMessages::~CapturedMessages() { Installed() = previous_; }

void CapturedMessages::Show(const UserMessage& message) { shown.push_back(message); }

bool CapturedMessages::Ask(const UserMessage& question) {
  shown.push_back(question);
  return answer;
}

}  // namespace torvik::ui
