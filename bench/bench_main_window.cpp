// The main window: how long it takes to stand on the screen from a warm
// start, and the longest time the event loop stalls while a 256-slide,
// 200 MB project is saved and opened. The baselines, measured in the same
// run, are a bare window of the same size and the same save and open run
// straight on the user-interface thread.
#include "app/ProjectSession.h"
#include "app/Workplace.h"
#include "app/widgets/MainWindow.h"
#include "BenchSupport.h"
#include "ScriptedUi.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <random>

using namespace pavonia;

namespace {

class NoShell final : public Shell {
public:
    bool open(const std::string&) override { return true; }
};

void showAndPaint(QWidget& window)
{
    window.show();
    window.repaint();
    QApplication::processEvents();
}

// The longest gap between event-loop turns while `work` runs, in ms: a
// 2 ms timer notes each turn it gets.
template <typename Work>
double longestStall(Work&& work)
{
    std::vector<qint64> turns;
    QElapsedTimer clock;
    clock.start();
    QTimer ticker;
    ticker.setInterval(2);
    QObject::connect(&ticker, &QTimer::timeout, [&] { turns.push_back(clock.elapsed()); });
    ticker.start();
    turns.push_back(clock.elapsed());
    work();
    turns.push_back(clock.elapsed());
    ticker.stop();
    qint64 longest = 0;
    for (std::size_t i = 1; i < turns.size(); ++i)
        longest = std::max(longest, turns[i] - turns[i - 1]);
    return static_cast<double>(longest);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const auto folders = bench::BenchFolders::make("bench-window", PAVONIA_BENCH_DATA_DIR);
    if (!folders) {
        std::fprintf(stderr, "cannot make a scratch folder\n");
        return 1;
    }
    test::ScriptedUi ui;
    NoShell shell;
    Workplace place;
    if (const std::string problem = place.open(folders->install); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }

    // Warm start: the second and later runs count.
    auto bare = [] {
        QMainWindow window;
        window.resize(800, 620);
        showAndPaint(window);
    };
    auto program = [&] {
        ProjectSession session(place, ui);
        MainWindow window(session, shell);
        showAndPaint(window);
    };
    bare();
    program();
    const double bareSeconds = bench::bestSeconds(5, bare);
    const double programSeconds = bench::bestSeconds(5, program);
    std::printf("window shown (warm start): %.1f ms; a bare window: %.1f ms; ratio %.2f\n", programSeconds * 1e3,
                bareSeconds * 1e3, programSeconds / bareSeconds);

    // A project of 256 slides with 800 kB of media each (about 200 MB).
    ProjectSession session(place, ui);
    MainWindow window(session, shell);
    showAndPaint(window);
    TreeOperations& operations = session.operations();
    ProjectTree& tree = session.document().tree();
    std::mt19937 random(7);
    std::string bytes(800 * 1024, '\0');
    for (int i = 0; tree.slideCount() < ProjectTree::kSlideLimit; ++i) {
        for (char& b : bytes)
            b = static_cast<char>(random());
        const std::string media = folders->root + "clip" + std::to_string(i) + ".wmv";
        std::ofstream(media, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        operations.selectionChanged(tree.allSlides().back());
        operations.AddItem(media);
    }
    QApplication::processEvents();

    const std::string path = folders->root + "large.pvp";
    ProjectCommands& commands = window.projectCommands();
    ui.saveAnswers.push_back(path);
    const double saveStall = longestStall([&] { commands.SaveCommand(true); });
    const double openStall = longestStall([&] { window.openProjectFile(path); });
    std::printf("project: %d slides, %.0f MB file\n", tree.slideCount(),
                static_cast<double>(std::filesystem::file_size(path)) / 1e6);

    // The same work straight on the user-interface thread.
    const auto runLong = commands.hooks().runLong;
    commands.hooks().runLong = nullptr;
    const double saveDirect = longestStall([&] { commands.SaveCommand(true); });
    const double openDirect = longestStall([&] { window.openProjectFile(path); });
    commands.hooks().runLong = runLong;

    std::printf("longest event-loop stall while saving: %.0f ms (on the interface thread: %.0f ms; ratio %.2f)\n",
                saveStall, saveDirect, saveStall / saveDirect);
    std::printf("longest event-loop stall while opening: %.0f ms (on the interface thread: %.0f ms; ratio %.2f)\n",
                openStall, openDirect, openStall / openDirect);
    if (!ui.shown.empty())
        std::printf("messages shown: %zu, first: %s\n", ui.shown.size(), ui.shown.front().text.c_str());
    folders->remove();
    return 0;
}
