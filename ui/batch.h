// Long work in batches on the user-interface thread: one batch per turn of the
// event loop (a zero-delay timer schedules the next one), never a nested event
// loop. The stop request is tested between batches, so the user interface
// answers once per batch.
#pragma once

#include <QObject>
#include <functional>

namespace torvik::ui {

// The word of a progress line whose run "Остановить" ended.
inline constexpr const char* kStoppedWord = "остановлено";

class BatchRunner : public QObject {
  Q_OBJECT

 public:
  // One batch of work; returns false when the work is finished.
  using Batch = std::function<bool()>;
  // True when the user asked the run to stop.
  using StopTest = std::function<bool()>;

  explicit BatchRunner(QObject* parent = nullptr);

  // Runs the first batch now and the following ones on later turns of the
  // event loop until a batch returns false or `stop` answers true after a
  // batch. A start while a run is active is refused quietly (returns false).
  bool Start(Batch batch, StopTest stop = {});
  // Drops the scheduled batches; the current one (if any) is not interrupted.
  void Cancel();
  bool Active() const { return active_; }

 signals:
  void Finished();

 private:
  void Turn();
  Batch batch_;
  StopTest stop_;
  bool active_ = false;
  unsigned generation_ = 0;  // a cancelled run's pending turn must not resume a newer run
};

}  // namespace torvik::ui
