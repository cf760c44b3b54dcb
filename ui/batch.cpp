#include "ui/batch.h"

#include <QTimer>

namespace torvik::ui {

BatchRunner::BatchRunner(QObject* parent) : QObject(parent) {}

bool BatchRunner::Start(Batch batch, StopTest stop) {
  if (active_ || !batch) return false;
  batch_ = std::move(batch);
  stop_ = std::move(stop);
  active_ = true;
  ++generation_;
  Turn();
  return true;
}

void BatchRunner::Cancel() {
  if (!active_) return;
  active_ = false;
  ++generation_;
  emit Finished();
}

void BatchRunner::Turn() {
  if (!active_) return;
  const unsigned generation = generation_;
  bool more = false;
  try {
    more = batch_();
  } catch (...) {
    more = false;  // a batch reports its own failures; an escaped one just ends the run
  }
  if (generation != generation_ || !active_) return;  // cancelled from inside the batch
  if (more && stop_ && stop_()) more = false;
  if (!more) {
    active_ = false;
    emit Finished();
    return;
  }
  QTimer::singleShot(0, this, [this, generation] {
    if (generation == generation_) Turn();
  });
}

}  // namespace torvik::ui
