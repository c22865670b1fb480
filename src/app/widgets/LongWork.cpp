#include "app/widgets/LongWork.h"

#include "platform/StringTable.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <new>
#include <thread>

namespace pavonia {

namespace {

constexpr int kPollMilliseconds = 100;

QString text(int id) { return QString::fromStdString(StringTable::text(id)); }

// Keeps the user's input from every window open when long work starts (the
// main window, a dialog the work was started from); painting, timers, the
// progress dialog and message boxes the work shows go on.
class InputBlocker final : public QObject {
public:
    InputBlocker()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            blocked_.insert(widget);
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Drop: {
            auto* widget = qobject_cast<QWidget*>(watched);
            return widget && blocked_.contains(widget->window());
        }
        default:
            return false;
        }
    }

private:
    QSet<QWidget*> blocked_;
};

} // namespace

void WorkProgress::setStage(const std::string& text)
{
    std::lock_guard lock(mutex_);
    changed_ = changed_ || text != stage_;
    stage_ = text;
}

void WorkProgress::setPercent(int percent)
{
    percent = std::clamp(percent, -1, 100);
    std::lock_guard lock(mutex_);
    changed_ = changed_ || percent != percent_;
    percent_ = percent;
}

void WorkProgress::set(const std::string& text, int percent)
{
    setStage(text);
    setPercent(percent);
}

bool WorkProgress::takeChanges(std::string& stage, int& percent)
{
    std::lock_guard lock(mutex_);
    if (!changed_)
        return false;
    changed_ = false;
    stage = stage_;
    percent = percent_;
    return true;
}

int percentOf(unsigned long long done, unsigned long long total)
{
    if (total == 0)
        return -1;
    return int(std::min<unsigned long long>(done, total) * 100 / total);
}

bool runLongWork(QWidget* window, Ui& ui, const LongWorkOptions& options,
                 const std::function<bool(WorkProgress&)>& work)
{
    InputBlocker blocker;
    BusyCursor cursor(ui);
    WorkProgress progress;
    progress.setStage(options.stage);

    // Over the dialog the work was started from, if any.
    QWidget* modal = QApplication::activeModalWidget();
    QProgressDialog dialog(modal ? modal : window);
    dialog.setObjectName("progress");
    dialog.setWindowTitle(text(str::AppTitle));
    dialog.setLabelText(QString::fromStdString(options.stage));
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumWidth(360);
    if (options.cancellable) {
        auto* cancel = new QPushButton(text(str::ButtonCancel), &dialog);
        cancel->setObjectName("cancel");
        dialog.setCancelButton(cancel);
        // Cancel asks the work to stop; the dialog stays until it has.
        QObject::disconnect(&dialog, SIGNAL(canceled()), &dialog, SLOT(cancel()));
        const auto cancelWork = [&progress, &dialog, cancel] {
            if (progress.cancelled())
                return;
            progress.cancel();
            cancel->setEnabled(false);
            dialog.setLabelText(text(str::WorkCancelling));
        };
        QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, cancelWork);
        // Escape closes the dialog: that cancels too.
        QObject::connect(&dialog, &QDialog::rejected, &dialog, cancelWork);
    } else {
        dialog.setCancelButton(nullptr);
    }
    dialog.setRange(0, 0);
    dialog.setMinimumDuration(options.minimumDuration);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setValue(0);

    QTimer poll;
    poll.setInterval(kPollMilliseconds);
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        std::string stage;
        int percent = -1;
        if (progress.cancelled() || !progress.takeChanges(stage, percent))
            return;
        dialog.setLabelText(QString::fromStdString(stage));
        if (percent < 0) {
            dialog.setRange(0, 0);
        } else {
            dialog.setRange(0, 100);
            dialog.setValue(percent);
        }
    });
    poll.start();

    bool result = false;
    QEventLoop loop;
    std::thread worker([&] {
        // Work that throws (out of memory, say) fails; the program goes on.
        try {
            result = work(progress);
        } catch (const std::bad_alloc&) {
            result = false;
            showMessage(ui, StringTable::text(str::OutOfMemory));
        } catch (...) {
            result = false;
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    poll.stop();
    dialog.reset();
    dialog.hide();
    return result;
}

} // namespace pavonia
