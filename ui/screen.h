// Screens and the way between them. A screen is a top-level window with a
// fixed title. Its content is built when it is first shown (or first needed);
// afterwards it is hidden and shown again and keeps its field values.
//
// Whatever layout a screen's Build sets on it is moved into a scroll area, and
// the window first opens at its content's size within the room of the display,
// so a screen whose content is taller or wider than a small display (1366 x 768)
// still shows every control, scrolling when it must; on a large display the
// window takes its content's full size and grows with the user's resizing.
#pragma once

#include <QScrollArea>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace torvik::ui {

// The size that a window's client area may take on the display: the available
// geometry of the primary display less a window frame, or the room set with
// SetScreenRoom.
QSize ScreenRoom();
// Sizes the screens for a display with this room from now on (tests and
// screenshots of a given display); an empty size returns to the display's own.
void SetScreenRoom(QSize room);
// The room of a display of `display` pixels with a task bar and a window frame.
QSize RoomOfDisplay(QSize display);

class Screen : public QWidget {
  Q_OBJECT

 public:
  explicit Screen(const QString& title, QWidget* parent = nullptr);

  // Builds the content when it is not built yet.
  void EnsureBuilt();
  bool Built() const { return built_; }
  // Builds when needed, shows, raises and activates the screen. The first
  // opening sizes the window within ScreenRoom().
  void Open();
  // Brings a shown screen into the state its screenshot presents (a tool
  // screen runs a few steps of its computation); nothing by default.
  virtual void PrepareScreenshot() {}

  // Moves the window so that its frame, title bar included, lies inside the
  // available area of its display (as far as it fits); done when it first opens.
  void KeepOnDisplay();

  // The scroll area that holds the content; nullptr before the build or when
  // the screen set no layout.
  QScrollArea* Scroll() const { return scroll_; }
  // The size of the whole content without scrolling.
  QSize ContentSize() const;
  // The content's size within ScreenRoom().
  QSize sizeHint() const override;

  // Closing the window (its title-bar button) runs this action instead of
  // hiding the screen: the start screen closes the program as its "Выход" does.
  void SetCloseAction(std::function<void()> action) { closeAction_ = std::move(action); }

 protected:
  // Creates the controls; called once.
  virtual void Build() = 0;
  // Called each time the screen is shown.
  virtual void Activated() {}
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void WrapInScrollArea();

  bool built_ = false;
  bool sized_ = false;
  QScrollArea* scroll_ = nullptr;
  std::function<void()> closeAction_;
};

// Creates each screen on first use, shows it on request and closes them all.
class Navigator {
 public:
  using Factory = std::function<std::unique_ptr<Screen>()>;

  Navigator();
  ~Navigator();
  Navigator(const Navigator&) = delete;
  Navigator& operator=(const Navigator&) = delete;

  // Ids name the screens ("parameters", "velocity", …); the order of
  // registration is the order of Ids().
  void Register(const std::string& id, Factory factory);
  bool Has(const std::string& id) const { return factories_.count(id) != 0; }
  std::vector<std::string> Ids() const { return order_; }

  // The screen, created (not shown) on first use; nullptr when not registered.
  Screen* Get(const std::string& id);
  // The screen when it exists already, else nullptr.
  Screen* Find(const std::string& id) const;
  // Shows the screen; when no such screen exists yet, says so in a message
  // (with what to use meanwhile, when that is known).
  Screen* Show(const std::string& id);
  // While `pending` returns a text, the screen `id` is not opened: Show puts up
  // a small window with that text (the progress line of a preparation) and
  // opens the screen as soon as the text is empty. Nothing blocks meanwhile.
  void SetPending(const std::string& id, std::function<std::string()> pending) { pending_[id] = std::move(pending); }
  // The window that waits to open the screen `id`, or nullptr.
  QWidget* Waiting(const std::string& id) const;
  // What the user can do meanwhile while the screen `id` is not in the
  // program yet (one line, e.g. the torvik6-cli command that does its job).
  void SetMeanwhile(const std::string& id, std::string text) { meanwhile_[id] = std::move(text); }
  // The text of the message for a screen that is not in the program.
  std::string NotReadyText(const std::string& id) const;

  // Hides every screen and then runs the exit action (by default it quits the
  // application's event loop).
  void CloseAll();
  void SetExitAction(std::function<void()> exit) { exit_ = std::move(exit); }

 private:
  void WaitToOpen(const std::string& id, Screen* screen);

  std::map<std::string, Factory> factories_;
  std::vector<std::string> order_;
  std::map<std::string, std::unique_ptr<Screen>> screens_;
  std::map<std::string, std::string> meanwhile_;
  std::map<std::string, std::function<std::string()>> pending_;
  std::map<std::string, std::unique_ptr<QWidget>> waiting_;
  std::function<void()> exit_;
};

// Text of the message shown for a screen that the program does not have yet.
inline constexpr const char* kScreenNotReady = "Эта форма пока не готова";

}  // namespace torvik::ui
