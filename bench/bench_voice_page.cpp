// The slide voice page's picture strip: the longest time the event loop
// stalls while the strip scrolls through a session of 256 slides, each a
// 1600 x 1200 JPEG picture, one step every 16 ms. The baseline, measured in
// the same run, is one such picture decoded on the user-interface thread:
// what every step could cost if the page read its pictures itself. The goal
// is a stall under 50 ms.
#include "app/ProjectSession.h"
#include "app/Workplace.h"
#include "BenchSupport.h"
#include "pages/ImageCache.h"
#include "pages/widgets/SlideVoicePage.h"
#include "ScriptedUi.h"
#include "voice/BufferAudioDevice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QPainter>
#include <QTimer>

#include <cstdio>

using namespace pavonia;

namespace {

constexpr int kSlides = 256;
constexpr int kStepMs = 16;

// A picture with detail everywhere, so that it does not compress to nothing.
void writePicture(const std::string& path, int seed)
{
    QImage image(1600, 1200, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int y = 0; y < image.height(); y += 40)
        for (int x = 0; x < image.width(); x += 40)
            painter.fillRect(x, y, 40, 40, QColor::fromHsv((x / 40 * 7 + y / 40 * 13 + seed * 31) % 360, 160, 220));
    painter.setPen(Qt::black);
    painter.setFont(QFont("Sans", 120));
    painter.drawText(image.rect(), Qt::AlignCenter, QString::number(seed + 1));
    painter.end();
    image.save(QString::fromStdString(path), "JPG", 85);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const auto folders = bench::BenchFolders::make("bench-voice-page", PAVONIA_BENCH_DATA_DIR);
    if (!folders) {
        std::fprintf(stderr, "cannot make a scratch folder\n");
        return 1;
    }
    test::ScriptedUi ui;
    Workplace place;
    if (const std::string problem = place.open(folders->install); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    ProjectSession session(place, ui);
    ProjectDocument& document = session.document();

    // One session of 256 picture slides.
    auto data = std::make_unique<SessionData>();
    data->talkingImagePath = document.workingFolder().sessionTalkingImageCopy();
    data->talkingMessagePath = document.workingFolder().sessionTalkingMessageCopy();
    TreeItem* item = document.tree().insertSession(nullptr, std::move(data), "Session");
    for (int i = 0; i < kSlides; ++i) {
        auto slide = std::make_unique<SlideData>();
        slide->mediaPath = folders->root + "picture" + std::to_string(i) + ".jpg";
        writePicture(slide->mediaPath, i);
        slide->delay = 3.0f;
        document.tree().insertSlide(*item, nullptr, std::move(slide), "Slide");
    }

    // The baseline: one picture decoded here.
    const double decodeMs = 1e3 * bench::bestSeconds(3, [&] {
        QImageReader reader(QString::fromStdString(folders->root + "picture0.jpg"));
        (void)reader.read();
    });

    ImageCache cache(10, QString::fromStdString(folders->install + "loading.jpg"));
    SlideVoicePage page(document, std::make_unique<BufferAudioDevice>(), cache);
    page.resize(page.sizeHint());
    page.show();
    page.showSession(item);
    QApplication::processEvents();

    // Scroll to the last picture, one step a frame, noting each turn of the
    // event loop on a 2 ms timer.
    QElapsedTimer clock;
    clock.start();
    qint64 lastTurn = 0, longest = 0;
    QTimer ticker;
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (now - lastTurn > longest) {
            longest = now - lastTurn;
            if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
                std::printf("stall %lld ms at %lld ms, picture %d\n", static_cast<long long>(longest),
                            static_cast<long long>(now), page.logic().currentPicture());
        }
        lastTurn = now;
    });
    QTimer stepper;
    stepper.setInterval(kStepMs);
    QObject::connect(&stepper, &QTimer::timeout, [&] {
        if (page.logic().currentPicture() + 1 >= kSlides) {
            stepper.stop();
            QTimer::singleShot(200, &application, &QCoreApplication::quit);
            return;
        }
        page.logic().nextImage();
        page.repaint(); // the frames paint at once, as on a real screen
    });
    ticker.start();
    stepper.start();
    application.exec();

    std::printf("strip of %d slides (1600 x 1200 JPEG) scrolled in %lld ms, a step every %d ms\n", kSlides,
                static_cast<long long>(clock.elapsed()), kStepMs);
    std::printf("longest event-loop stall while scrolling: %lld ms (goal: under 50 ms)\n",
                static_cast<long long>(longest));
    std::printf("one picture decoded on the interface thread: %.1f ms; ratio %.2f\n", decodeMs,
                static_cast<double>(longest) / decodeMs);
    folders->remove();
    return longest < 50 ? 0 : 2;
}
