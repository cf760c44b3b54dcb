// The one place through which screens show their modal message boxes. The
// program shows real boxes (OK, or Yes/No); tests install a capturing service
// so that no action ever waits on a modal box.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/message.h"

namespace torvik::ui {

class MessageService {
 public:
  virtual ~MessageService() = default;
  // A box with the text, the title and an OK button.
  virtual void Show(const UserMessage& message) = 0;
  // A box with Yes and No; true for Yes.
  virtual bool Ask(const UserMessage& question) = 0;
};

// The service in use: the installed one, else modal Qt message boxes. Every
// message passes through ShownText on its way.
MessageService& Messages();

// The program folder of the running program. Messages about files name the
// file by its relative path on a line of its own ("\torvik7.dat"); the screens
// show that line as the file's full path with the system's separators
// ("/home/u/Torvik6/torvik7.dat"). An empty folder (the default) leaves the
// paths as they are.
void SetProgramFolder(const std::filesystem::path& folder);
// The text as the screens show it.
std::string ShownText(const std::string& text);

// Shows the failure of an action when there is one; true when the action succeeded.
bool Report(const ActionResult& result);

// Records every message instead of showing it, for as long as it lives; Ask
// answers with `answer`. Installs itself on construction, restores the
// previous service on destruction.
class CapturedMessages : public MessageService {
 public:
  CapturedMessages();
  ~CapturedMessages() override;
  CapturedMessages(const CapturedMessages&) = delete;
  CapturedMessages& operator=(const CapturedMessages&) = delete;

  void Show(const UserMessage& message) override;
  bool Ask(const UserMessage& question) override;

  std::vector<UserMessage> shown;  // in order, both kinds
  bool answer = true;

  // Text of the last message, "" when none; clears nothing.
  std::string LastText() const { return shown.empty() ? std::string() : shown.back().text; }

 private:
  MessageService* previous_;
};

}  // namespace torvik::ui
