// The picture dialog and the media page with a 50-megapixel picture: the
// longest time the event loop stalls while the dialog's preview worker makes
// the thumbnail, and while the image cache decodes the picture for the media
// page's preview (goal: under 50 ms each). The baseline, measured in the same
// run, is the same picture decoded for the thumbnail straight on the
// user-interface thread.
#include "BenchSupport.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "pages/ImageCacheDecode.h"
#include "pages/widgets/MediaPage.h"
#include "pages/widgets/PictureDialog.h"
#include "platform/StringTable.h"
#include "project/ProjectHolder.h"
#include "templates/TemplateLibrary.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QPainter>
#include <QTimer>

#include <cstdint>
#include <cstdio>

using namespace pavonia;

namespace {

class NoShell final : public Shell {
public:
    bool open(const std::string&) override { return true; }
};

// The longest gap between event-loop turns until `done` holds, in ms: a
// 2 ms timer notes each turn it gets.
template <typename Start, typename Done>
double longestStall(Start&& start, Done&& done)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticker.start();
    start();
    while (!done() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    longest = std::max(longest, clock.elapsed() - last);
    return static_cast<double>(longest);
}

// 8192 x 6144 pixels (50.3 megapixels) of bands with grain, as a JPEG of
// a size a camera writes (the grain keeps it from compressing away).
bool writeLargePicture(const QString& path)
{
    QImage image(8192, 6144, QImage::Format_RGB32);
    std::uint32_t grain = 12345;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            grain = grain * 1664525u + 1013904223u;
            const int g = int(grain >> 27);
            row[x] = qRgb(((x / 64) * 4 + g) % 256, ((y / 48) * 3 + g) % 256, (((x + y) / 100) * 5 + g) % 256);
        }
    }
    return image.save(path, "JPG", 85);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const auto folders = bench::BenchFolders::make("bench-picture", PAVONIA_BENCH_DATA_DIR);
    if (!folders) {
        std::fprintf(stderr, "cannot make a scratch folder\n");
        return 1;
    }
    const QString picture = QString::fromStdString(folders->root + "large.jpg");
    if (!writeLargePicture(picture)) {
        std::fprintf(stderr, "cannot write the picture\n");
        return 1;
    }

    // The machine's own noise: an idle event loop over half a second.
    QElapsedTimer idle;
    idle.start();
    const double idleStall = longestStall([] {}, [&] { return idle.elapsed() > 500; });

    // The baseline: the thumbnail made on the interface thread.
    const double direct = longestStall([&] { decodePicture(picture, {100, 100}); }, [] { return true; });

    FileDialogOptions options;
    options.filter = StringTable::text(str::MediaFileFilter);
    options.startFolder = folders->root;
    PictureDialog dialog(options);
    dialog.show();
    QApplication::processEvents();
    QLabel* dimensions = dialog.pane()->dimensionField();
    const double dialogStall = longestStall([&] { emit dialog.files()->currentChanged(picture); },
                                            [&] { return dimensions->text() != PreviewWorker::noValueText(); });
    std::printf("picture dialog: %s\n", qPrintable(dimensions->text()));
    dialog.reject();

    // The media page: the slide takes the picture, the cache decodes it.
    ProjectHolder<test::ScriptedUi, test::FixedClock, test::MapRegistry> project(
        ProjectFolders{folders->install, folders->temp});
    project.operations.createView();
    TemplateLibrary library(folders->install, project.ui);
    LayoutLayers layers;
    NoShell shell;
    ImageCache cache(10, QString::fromStdString(folders->install + "loading.jpg"));
    MediaPage page(project.document, library, layers, shell, cache);
    page.show();
    page.showSlide(project.document.tree().root().child(0)->child(0));
    QApplication::processEvents();
    // Taking the picture copies the file into the working folder on the
    // interface thread, as every media choice does; the stall measured is
    // that of showing the slide while the cache decodes it.
    TreeItem* slide = project.document.tree().root().child(0)->child(0);
    // The page shown for a slide without media: what showing costs anyway.
    page.leave();
    const double emptyStall = longestStall([&] { page.showSlide(slide); }, [] { return true; });
    const double copySeconds = bench::secondsOf([&] { page.logic().takeMedia(picture.toStdString()); });
    page.leave();
    QApplication::processEvents();
    const double pageStall =
        longestStall([&] { page.showSlide(slide); },
                     [&] { return cache.isCached(QString::fromStdString(page.logic().previewPicture())); });
    std::printf("media page: the working copy of the picture took %.0f ms\n", copySeconds * 1e3);

    std::printf("longest event-loop stall of an idle loop over 500 ms: %.0f ms\n", idleStall);
    std::printf("longest event-loop stall, picture dialog thumbnail: %.0f ms (decoded on the interface thread: "
                "%.0f ms; ratio %.2f; goal under 50 ms)\n",
                dialogStall, direct, dialogStall / direct);
    std::printf("longest event-loop stall, media page preview: %.0f ms (ratio %.2f; goal under 50 ms; the page shown "
                "for a slide without media: %.0f ms)\n",
                pageStall, pageStall / direct, emptyStall);
    folders->remove();
    return 0;
}
