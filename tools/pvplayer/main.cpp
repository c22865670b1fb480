// pvplayer.exe: the presentation player of executable exports. Shows the
// page named on its command line in a window of the width and height given
// after it (scaled down to fit the screen), with sound allowed from the
// start, and the page's title as the window's title.
//
// Exits with kPlayerCannotStart, before showing anything, when there is no
// display to show a window on; the stub then opens the page in the browser.
#include "CommandLine.h"

#include "platform/StringTable.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QUrl>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace pavonia;

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

bool hasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    const seed::PlayerArguments arguments = seed::playerArguments({argv + 1, argv + argc});
    if (arguments.page.empty()) {
        std::fprintf(stderr, "%s\n", StringTable::text(str::PlayerUsage).c_str());
        return 2;
    }
    if (!hasDisplay())
        return seed::kPlayerCannotStart;
    const QFileInfo page(QString::fromStdString(arguments.page));
    if (!page.isFile()) {
        std::fprintf(stderr, "%s\n", StringTable::format(str::PlayerPageMissing, {arguments.page}).c_str());
        return 1;
    }
    // The web engine's sandbox refuses to run for the administrator.
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);

    QWebEngineView view;
    QWebEngineSettings* settings = view.settings();
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    view.setWindowTitle(page.fileName());
    QObject::connect(&view, &QWebEngineView::titleChanged, &view, [&view](const QString& title) {
        if (!title.isEmpty())
            view.setWindowTitle(title);
    });

    // The page is laid out for its own size; a screen too small for it gets
    // the whole page, zoomed out.
    const int width = arguments.width > 0 ? arguments.width : kDefaultWidth;
    const int height = arguments.height > 0 ? arguments.height : kDefaultHeight;
    double scale = 1.0;
    if (const QScreen* screen = application.primaryScreen()) {
        const QRect available = screen->availableGeometry();
        scale = std::min({1.0, double(available.width()) / width, double(available.height()) / height});
    }
    view.setZoomFactor(scale);
    view.resize(int(width * scale), int(height * scale));
    view.load(QUrl::fromLocalFile(page.absoluteFilePath()));
    view.show();
    return application.exec();
}
