#pragma once
// Runs the Qt event loop until `done()` holds or `ms` milliseconds have
// passed; returns `done()`. For tests whose work arrives through events
// (sound devices, worker threads reporting back).
#include <QCoreApplication>
#include <QElapsedTimer>

namespace pavonia::test {

template <typename Done>
bool spinEvents(Done done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

} // namespace pavonia::test
