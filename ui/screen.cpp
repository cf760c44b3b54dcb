#include "ui/screen.h"

#include <QCoreApplication>
#include <QShowEvent>

#include "core/message.h"
#include "ui/messages.h"

namespace torvik::ui {

Screen::Screen(const QString& title, QWidget* parent) : QWidget(parent, Qt::Window) { setWindowTitle(title); }

void Screen::EnsureBuilt() {
  if (built_) return;
  built_ = true;
  Build();
}

void Screen::Open() {
  EnsureBuilt();
  show();
  raise();
  activateWindow();
}

void Screen::showEvent(QShowEvent* event) {
  EnsureBuilt();
  QWidget::showEvent(event);
  if (!event->spontaneous()) Activated();
}

Navigator::Navigator() : exit_([] { QCoreApplication::quit(); }) {}

Navigator::~Navigator() = default;

void Navigator::Register(const std::string& id, Factory factory) {
  if (!factories_.count(id)) order_.push_back(id);
  factories_[id] = std::move(factory);
}

Screen* Navigator::Get(const std::string& id) {
  if (Screen* s = Find(id)) return s;
  auto f = factories_.find(id);
  if (f == factories_.end()) return nullptr;
  auto screen = f->second();
  Screen* raw = screen.get();
  screens_[id] = std::move(screen);
  return raw;
}

Screen* Navigator::Find(const std::string& id) const {
  auto s = screens_.find(id);
  return s == screens_.end() ? nullptr : s->second.get();
}

Screen* Navigator::Show(const std::string& id) {
  Screen* s = Get(id);
  if (!s) {
    Messages().Show(UserMessage{kScreenNotReady, kTitle});
    return nullptr;
  }
  s->Open();
  return s;
}

void Navigator::CloseAll() {
  for (auto& [id, screen] : screens_) screen->hide();
  if (exit_) exit_();
}

}  // namespace torvik::ui
