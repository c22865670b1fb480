#pragma once
// What the page logic tests share: one application object for the program
// (queued signals need its event loop) and pictures made to order.
#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QString>

#include <functional>

namespace pavonia::test {

inline QCoreApplication& application()
{
    // A widget test program has its QApplication already.
    if (QCoreApplication* running = QCoreApplication::instance())
        return *running;
    static int argc = 1;
    static char name[] = "pages_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the event loop until `done` holds or `ms` pass; whether it held.
inline bool processUntil(const std::function<bool()>& done, int ms = 10000)
{
    application();
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A picture of `width` x `height` in one colour, saved at `path` in the
// format its extension names.
inline bool writePicture(const QString& path, int width, int height, QColor colour = QColor(200, 40, 40))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path);
}

} // namespace pavonia::test
