#pragma once
// Long work off the user-interface thread: the work runs on a worker thread
// while the window keeps painting but takes no input, under the wait cursor
// and a progress dialog that shows the stage and, where the work knows it,
// how far it is. A cancellable dialog's Cancel asks the work to stop at its
// next safe point; the dialog then says so and waits for it.
//
// Entry point:
//   bool runLongWork(QWidget* window, Ui& ui, const LongWorkOptions& options,
//                    const std::function<bool(WorkProgress&)>& work);
// returns what `work` returned. Messages the work shows through the
// program's Ui appear over the dialog (QtUi shows them on the interface
// thread).
#include "platform/Ui.h"

#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

class QWidget;

namespace pavonia {

// What the work and the dialog tell each other; safe from either thread.
class WorkProgress {
public:
    // The text shown above the bar.
    void setStage(const std::string& text);
    // The share done, 0..100; -1 while it is not known (the bar then runs
    // without an end).
    void setPercent(int percent);
    // Both at once.
    void set(const std::string& text, int percent);

    // Whether the user asked the work to stop.
    bool cancelled() const { return cancelled_.load(); }
    void cancel() { cancelled_.store(true); }

    // For the dialog: the stage and share when they changed since the last
    // call.
    bool takeChanges(std::string& stage, int& percent);

private:
    mutable std::mutex mutex_;
    std::string stage_;
    int percent_ = -1;
    bool changed_ = false;
    std::atomic<bool> cancelled_{false};
};

struct LongWorkOptions {
    std::string stage;        // the text shown first
    bool cancellable = false; // whether the dialog has a Cancel button
    int minimumDuration = 400; // milliseconds before the dialog shows
};

bool runLongWork(QWidget* window, Ui& ui, const LongWorkOptions& options,
                 const std::function<bool(WorkProgress&)>& work);

// The percentage `done` of `total` is, 0..100; -1 for an unknown total.
int percentOf(unsigned long long done, unsigned long long total);

} // namespace pavonia
