#include "ui/screen.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "core/message.h"
#include "ui/fields.h"
#include "ui/messages.h"

namespace torvik::ui {

namespace {

// Title bar and borders of a window, and a task bar: what a display keeps
// for itself around a window's client area.
constexpr QSize kWindowFrame(12, 40);
constexpr int kTaskBar = 40;

QSize& RoomOverride() {
  static QSize room;
  return room;
}

}  // namespace

QSize ScreenRoom() {
  if (!RoomOverride().isEmpty()) return RoomOverride();
  const QScreen* display = QGuiApplication::primaryScreen();
  if (!display) return RoomOfDisplay(QSize(1366, 768));
  return display->availableGeometry().size() - kWindowFrame;
}

void SetScreenRoom(QSize room) { RoomOverride() = room; }

QSize RoomOfDisplay(QSize display) { return display - kWindowFrame - QSize(0, kTaskBar); }

Screen::Screen(const QString& title, QWidget* parent) : QWidget(parent, Qt::Window) { setWindowTitle(title); }

void Screen::EnsureBuilt() {
  if (built_) return;
  built_ = true;
  Build();
  WrapInScrollArea();
  FitFields(this);
}

void Screen::WrapInScrollArea() {
  QLayout* built = layout();
  if (!built) return;
  // setLayout on another widget takes the layout over together with the
  // widgets it manages.
  auto* content = new QWidget;
  content->setLayout(built);
  scroll_ = new QScrollArea;
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  scroll_->setWidget(content);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll_);
}

QSize Screen::ContentSize() const {
  if (!scroll_) return QWidget::sizeHint().expandedTo(minimumSizeHint());
  const QWidget* content = scroll_->widget();
  QSize size = content->sizeHint().expandedTo(content->minimumSizeHint());
  if (const QLayout* l = content->layout(); l && l->hasHeightForWidth())
    size.setHeight(std::max(size.height(), l->totalHeightForWidth(size.width())));
  return size;
}

QSize Screen::sizeHint() const {
  if (!scroll_) return QWidget::sizeHint();
  QSize size = ContentSize();
  const QSize room = ScreenRoom();
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  if (size.height() > room.height()) size.rwidth() += bar;
  if (size.width() > room.width()) size.rheight() += bar;
  return size.boundedTo(room);
}

void Screen::Open() {
  EnsureBuilt();
  show();
  raise();
  activateWindow();
}

void Screen::showEvent(QShowEvent* event) {
  EnsureBuilt();
  if (!sized_ && !event->spontaneous()) {
    sized_ = true;
    // A size the screen chose itself is kept, within the room of the display.
    resize((testAttribute(Qt::WA_Resized) ? size() : sizeHint()).boundedTo(ScreenRoom()));
  }
  if (!event->spontaneous()) {
    KeepOnDisplay();
    // The window manager adds its frame after the window is mapped: once it
    // has, the frame is brought inside the display again.
    QTimer::singleShot(150, this, [this] { KeepOnDisplay(); });
  }
  QWidget::showEvent(event);
  if (!event->spontaneous()) Activated();
}

void Screen::KeepOnDisplay() {
  const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!display) return;
  const QRect room = display->availableGeometry();
  // The frame as the window manager drew it, or as it will (title bar and
  // borders); a window's pos() and move() are those of its frame.
  QRect frame = frameGeometry();
  if (frame.size() == size()) frame.setSize(size() + kWindowFrame);
  QPoint at = frame.topLeft();
  at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - frame.width())));
  at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - frame.height())));
  if (at != frame.topLeft()) move(at);
}

void Screen::closeEvent(QCloseEvent* event) {
  if (!closeAction_) {
    QWidget::closeEvent(event);
    return;
  }
  event->ignore();
  closeAction_();
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

std::string Navigator::NotReadyText(const std::string& id) const {
  auto m = meanwhile_.find(id);
  return m == meanwhile_.end() ? std::string(kScreenNotReady) : std::string(kScreenNotReady) + "\r\n" + m->second;
}

Screen* Navigator::Show(const std::string& id) {
  Screen* s = Get(id);
  if (!s) {
    Messages().Show(UserMessage{NotReadyText(id), kTitle});
    return nullptr;
  }
  auto p = pending_.find(id);
  if (p != pending_.end() && !p->second().empty()) {
    WaitToOpen(id, s);
    return nullptr;
  }
  s->Open();
  return s;
}

void Navigator::WaitToOpen(const std::string& id, Screen* screen) {
  if (QWidget* w = Waiting(id)) {
    w->raise();
    w->activateWindow();
    return;
  }
  auto window = std::make_unique<QWidget>(nullptr, Qt::Window);
  window->setWindowTitle(screen->windowTitle());
  auto* layout = new QVBoxLayout(window.get());
  auto* line = new QLabel(QString::fromStdString(pending_[id]()));
  auto* bar = new QProgressBar;
  bar->setRange(0, 0);  // busy: the preparation does not know its share done
  layout->addWidget(line);
  layout->addWidget(bar);
  window->resize(window->sizeHint().expandedTo(QSize(360, 0)));
  auto* timer = new QTimer(window.get());
  QObject::connect(timer, &QTimer::timeout, window.get(), [this, id, line, timer] {
    const std::string text = pending_[id]();
    if (!text.empty()) {
      line->setText(QString::fromStdString(text));
      return;
    }
    timer->stop();
    // Deleted on the next turn of the event loop, not inside its own signal.
    waiting_.extract(id).mapped().release()->deleteLater();
    if (Screen* s = Find(id)) s->Open();
  });
  timer->start(100);
  window->show();
  waiting_[id] = std::move(window);
}

QWidget* Navigator::Waiting(const std::string& id) const {
  auto w = waiting_.find(id);
  return w == waiting_.end() ? nullptr : w->second.get();
}

void Navigator::CloseAll() {
  waiting_.clear();
  for (auto& [id, screen] : screens_) screen->hide();
  if (exit_) exit_();
}

}  // namespace torvik::ui
