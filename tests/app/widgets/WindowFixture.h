#pragma once
// The main window on a fresh installation, on the offscreen platform, for
// the window's tests: its Ui answers from a script and its shell records
// what it was asked to open.
#include "app/ProjectSession.h"
#include "app/Workplace.h"
#include "app/widgets/MainWindow.h"
#include "platform/Shell.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pavonia::test {

class RecordingShell final : public Shell {
public:
    bool open(const std::string& pathOrUrl) override
    {
        opened.push_back(pathOrUrl);
        return true;
    }
    std::vector<std::string> opened;
};

class WindowFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "app_widgets_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            application() = std::make_unique<QApplication>(argc, argv);
    }
    static void TearDownTestSuite() { application().reset(); }

    WindowFixture()
    {
        EXPECT_EQ(place.open(installation.folder()), "");
        session = std::make_unique<ProjectSession>(place, ui);
        window = std::make_unique<MainWindow>(*session, shell);
        window->show();
        settle();
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    ProjectDocument& document() { return session->document(); }

    TestInstallation installation;
    ScriptedUi ui;
    RecordingShell shell;
    Workplace place;
    std::unique_ptr<ProjectSession> session;
    std::unique_ptr<MainWindow> window;

private:
    static std::unique_ptr<QApplication>& application()
    {
        static std::unique_ptr<QApplication> app;
        return app;
    }
};

} // namespace pavonia::test
