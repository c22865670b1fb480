#include "app/widgets/ProgramStartup.h"

#include "app/ProjectSession.h"
#include "app/Startup.h"
#include "app/StartupDialogFlow.h"
#include "app/Workplace.h"
#include "app/WritablePlaces.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/PageHost.h"
#include "app/widgets/QtUi.h"
#include "app/widgets/ScreenshotTour.h"
#include "app/widgets/StartupDialog.h"
#include "platform/DesktopShell.h"
#include "platform/StringTable.h"
#include "templates/ListDialogLogic.h"
#include "templates/widgets/ListDialog.h"
#include "templates/widgets/StylePage.h"

#include <QApplication>
#include <QIcon>

#include <filesystem>
#include <memory>

namespace pavonia {

namespace {

// The main window as start-up and the start-up dialog flow drive it.
class WindowStartup final : public StartupWindow, public StartupDialogHost {
public:
    explicit WindowStartup(MainWindow& window) : window_(window) {}

    // StartupWindow
    void restoreAndRaise() override
    {
        window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
        window_.show();
        window_.raise();
        window_.activateWindow();
    }
    void showWindow() override
    {
        window_.show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    bool openProjectFile(const std::string& path) override { return window_.openProjectFile(path); }
    bool runStartupDialogFlow(bool& layoutSettingsLost) override
    {
        StartupDialogFlow flow(settings(), window_.document().preferences(), window_.session().library(), *this);
        const bool ready = flow.run(true);
        layoutSettingsLost = flow.layoutSettingsLost();
        window_.refreshViews();
        return ready;
    }
    bool readLayoutSettings() override
    {
        return StartupDialogFlow::readLayoutSettings(settings(), window_.session().library());
    }

    // StartupDialogHost
    std::optional<StartupDialogAnswer> showStartupDialog(const StartupDialogState& state) override
    {
        return StartupDialog::ask(state, &window_);
    }
    // The style list of the style page, in its template or custom mode.
    std::optional<StylePick> pickStyleFromList(bool custom) override
    {
        ProjectDocument& document = window_.document();
        ListDialogLogic list(window_.session().library(), custom ? ListMode::Custom : ListMode::Standard,
                             settings().resolutionKey, [&document] { document.setDirty(true); },
                             settings().styleNumber, 0, document.ui());
        const std::optional<ListChoice> choice = runListDialog(&window_, list);
        if (!choice)
            return std::nullopt;
        return StylePick{choice->number, choice->resolutionKey};
    }
    // The layout the style page remembers picking last.
    std::optional<int> styleLayoutChoice() override
    {
        auto* style = qobject_cast<StylePage*>(window_.pages().page(SelectedKind::Project));
        if (!style)
            return std::nullopt;
        return style->logic().rememberedLayoutPosition;
    }
    // The project background takes a fresh copy name, as when the custom
    // settings apply a picture; a background that cannot be copied keeps its name.
    void customStyleChosen() override
    {
        ProjectSettings& project = settings();
        if (project.backgroundImagePath.empty() || !std::filesystem::is_regular_file(project.backgroundImagePath))
            return;
        const std::string copy = window_.document().workingFolder().backgroundCopy(project.backgroundImagePath);
        if (!copy.empty())
            project.backgroundImagePath = copy;
    }
    void refreshStylePage(int /*layoutNumber*/) override { window_.refreshViews(); }
    bool openProject() override { return window_.projectCommands().OpenProject(); }

    // New Project: the same flow, not at start-up.
    void chooseNewProjectTemplate()
    {
        StartupDialogFlow(settings(), window_.document().preferences(), window_.session().library(), *this)
            .run(false);
    }

private:
    ProjectSettings& settings() { return window_.document().settings(); }

    MainWindow& window_;
};

std::vector<std::string> commandLineArguments(const QStringList& arguments)
{
    std::vector<std::string> out;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        out.push_back(arguments[i].toStdString());
    return out;
}

} // namespace

ProgramStartup::ProgramStartup(QStringList arguments) : arguments_(std::move(arguments)) {}

int ProgramStartup::run()
{
    const std::string home = programFolder();
    QApplication::setApplicationName(QString::fromStdString(StringTable::text(str::AppTitle)));
    QApplication::setDesktopFileName(QStringLiteral("pavonia"));
    QApplication::setWindowIcon(QIcon(QString::fromStdString(home + "pavonia.png")));

    QtUi ui;
    Startup startup(home, commandLineArguments(arguments_), ui);
    // A screenshot tour runs beside whatever instance the user has open.
    const QString screenshots = ScreenshotTour::requestedFolder();
    if (screenshots.isEmpty() && !startup.becomeFirstInstance())
        return startup.handOver();

    const WritablePlaces places = writablePlacesFor(home);
    if (!startup.check({home, places.tempFolder(), places.userFolder()}))
        return 1;
    // Lives until the program ends: the process's working folder goes with it.
    Workplace place;
    if (const std::string problem = place.open(home); !problem.empty()) {
        showMessage(ui, problem);
        return 1;
    }
    ProjectSession session(place, ui);
    DesktopShell shell;
    MainWindow window(session, shell);
    ui.setParent(&window);
    WindowStartup driver(window);
    window.projectCommands().hooks().chooseNewProjectTemplate = [&driver] { driver.chooseNewProjectTemplate(); };
    if (!startup.start(driver))
        return 1;
    if (!screenshots.isEmpty())
        (new ScreenshotTour(window, screenshots))->begin();
    return QApplication::exec();
}

} // namespace pavonia
