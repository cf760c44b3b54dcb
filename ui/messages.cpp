#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace torvik::ui {
namespace {

class BoxMessages : public MessageService {
 public:
  void Show(const UserMessage& m) override {
    QMessageBox::information(QApplication::activeWindow(), QString::fromStdString(m.title),
                             QString::fromStdString(m.text));
  }
  bool Ask(const UserMessage& m) override {
    return QMessageBox::question(QApplication::activeWindow(), QString::fromStdString(m.title),
                                 QString::fromStdString(m.text), QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
  }
};

MessageService*& Installed() {
  static MessageService* installed = nullptr;
  return installed;
}

}  // namespace

MessageService& Messages() {
  static BoxMessages boxes;
  MessageService* s = Installed();
  return s ? *s : boxes;
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
