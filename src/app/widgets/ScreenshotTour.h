#pragma once
// A photographic tour of the program for its documentation and for checking
// its looks: with the environment variable PAVONIA_SCREENSHOTS naming a
// folder, the program, once started, shows the main window in each page mode
// and opens each of its dialogs, saves a PNG picture of each into that
// folder, and quits. tools/screenshots.sh runs it under a virtual display.
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace pavonia {

class MainWindow;

class ScreenshotTour : public QObject {
public:
    ScreenshotTour(MainWindow& window, QString folder);

    // The folder named by PAVONIA_SCREENSHOTS; empty when it is not set.
    static QString requestedFolder();

    // Takes the pictures once the event loop runs, then quits.
    void begin();

private:
    void run();
    void photographWindow(const QString& name);
    // Opens a modal dialog through `open` (which returns once it is closed),
    // photographs it once it shows and closes it.
    // With `required` unset, no window appearing is no failure (a message
    // that shows only on some machines).
    void photographDialog(const QString& name, const std::function<void()>& open, bool required = true);
    void save(QWidget& widget, const QString& name);
    void settle();

    MainWindow& window_;
    QString folder_;
    int failures_ = 0;
};

} // namespace pavonia
