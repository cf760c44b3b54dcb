// Screens and the way between them. A screen is a top-level window with a
// fixed title. Its content is built when it is first shown (or first needed);
// afterwards it is hidden and shown again and keeps its field values.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace torvik::ui {

class Screen : public QWidget {
  Q_OBJECT

 public:
  explicit Screen(const QString& title, QWidget* parent = nullptr);

  // Builds the content when it is not built yet.
  void EnsureBuilt();
  bool Built() const { return built_; }
  // Builds when needed, shows, raises and activates the screen.
  void Open();
  // Brings a shown screen into the state its screenshot presents (a tool
  // screen runs a few steps of its computation); nothing by default.
  virtual void PrepareScreenshot() {}

 protected:
  // Creates the controls; called once.
  virtual void Build() = 0;
  // Called each time the screen is shown.
  virtual void Activated() {}
  void showEvent(QShowEvent* event) override;

 private:
  bool built_ = false;
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
  // Shows the screen; when no such screen exists yet, says so in a message.
  Screen* Show(const std::string& id);

  // Hides every screen and then runs the exit action (by default it quits the
  // application's event loop).
  void CloseAll();
  void SetExitAction(std::function<void()> exit) { exit_ = std::move(exit); }

 private:
  std::map<std::string, Factory> factories_;
  std::vector<std::string> order_;
  std::map<std::string, std::unique_ptr<Screen>> screens_;
  std::function<void()> exit_;
};

// Text of the message shown for a screen that the program does not have yet.
inline constexpr const char* kScreenNotReady = "Эта форма пока не готова";

}  // namespace torvik::ui
