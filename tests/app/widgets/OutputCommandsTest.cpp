// The export, HTML code and import settings dialogs, the progress dialog of
// long work, and the export, preview and import commands of the window.
#include "app/widgets/LongWork.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/ProjectTreeModel.h"
#include "export/widgets/ExportDialog.h"
#include "import/widgets/ImportMediaDialog.h"
#include "platform/StringTable.h"
#include "publish/widgets/HtmlCodeDialog.h"
#include "voice/TpsMessageExporter.h"
#include "WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

namespace fs = std::filesystem;

namespace pavonia {
namespace {

class OutputCommandsTest : public test::WindowFixture {
protected:
    OutputCommandsTest() { fs::create_directories(out); }

    Preferences& preferences() { return document().preferences(); }

    // Presses Cancel of the progress dialog as soon as it shows.
    void cancelWhenShown(QTimer& timer)
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&timer] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<QProgressDialog*>(widget);
                if (progress && progress->isVisible()) {
                    if (auto* cancel = progress->findChild<QPushButton*>("cancel"))
                        cancel->click();
                    timer.stop();
                }
            }
        });
        timer.start();
    }

    std::string out = installation.root() + "out/";
};

TEST_F(OutputCommandsTest, TheExportDialogEnablesByKindAndItsSliderFollowsTheKeys)
{
    ExportChoice stored;
    stored.kind = ExportKind::Cd;
    stored.includeAutoRun = true;
    ExportDialog dialog(preferences(), stored, window.get());
    auto* cd = dialog.findChild<QRadioButton*>("kind1");
    auto* exe = dialog.findChild<QRadioButton*>("kind2");
    auto* autoRun = dialog.findChild<QCheckBox*>("includeAutoRun");
    auto* sound = dialog.findChild<QComboBox*>("soundQuality");
    auto* image = dialog.findChild<QSlider*>("imageQuality");
    auto* value = dialog.findChild<QLabel*>("imageQualityValue");
    ASSERT_TRUE(cd && exe && autoRun && sound && image && value);
    EXPECT_EQ(dialog.windowTitle(), "Export");
    EXPECT_EQ(exe->text(), "Export for Exe");
    EXPECT_TRUE(cd->isChecked());
    EXPECT_TRUE(autoRun->isEnabled() && autoRun->isChecked());
    EXPECT_FALSE(sound->isEnabled());
    EXPECT_FALSE(image->isEnabled());
    EXPECT_EQ(sound->currentText(), "Middle");
    EXPECT_EQ(value->text(), "80 %");

    exe->click();
    EXPECT_FALSE(autoRun->isEnabled());
    EXPECT_TRUE(sound->isEnabled() && image->isEnabled());
    const struct {
        QAbstractSlider::SliderAction action;
        int expected;
    } steps[] = {{QAbstractSlider::SliderPageStepAdd, 90}, {QAbstractSlider::SliderPageStepAdd, 100},
                 {QAbstractSlider::SliderSingleStepSub, 99}, {QAbstractSlider::SliderToMinimum, 0},
                 {QAbstractSlider::SliderPageStepSub, 0}, {QAbstractSlider::SliderSingleStepAdd, 1}};
    for (const auto& step : steps) {
        image->triggerAction(step.action);
        EXPECT_EQ(dialog.logic().imageQuality(), step.expected);
        EXPECT_EQ(value->text(), QString("%1 %").arg(step.expected));
    }
    sound->setCurrentIndex(2);
    dialog.findChild<QCheckBox*>("dontShowNextTime")->setChecked(true);
    const ExportChoice choice = dialog.acceptChoice();
    EXPECT_EQ(choice.kind, ExportKind::Exe);
    EXPECT_EQ(choice.qualities.sound, 3);
    EXPECT_EQ(choice.qualities.image, 1);
    EXPECT_EQ(preferences().showExportDlg(), 0);
    EXPECT_EQ(preferences().exportType(), 2);
}

TEST_F(OutputCommandsTest, TheImportSettingsDialogWritesItsChoiceOnOkOnly)
{
    preferences().setImportType(0);
    {
        ImportMediaDialog dialog(preferences(), 1, window.get());
        EXPECT_EQ(dialog.windowTitle(), "Import Media Settings");
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("eachSession")->isChecked());
        EXPECT_FALSE(dialog.findChild<QCheckBox*>("dontShowNextTime")->isChecked());
        dialog.findChild<QRadioButton*>("sameSession")->click();
        dialog.findChild<QCheckBox*>("dontShowNextTime")->click();
        dialog.findChild<QPushButton*>("cancel")->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(preferences().showImportDlg(), 1);
    ImportMediaDialog dialog(preferences(), 0, window.get());
    dialog.findChild<QRadioButton*>("eachSession")->click();
    dialog.findChild<QCheckBox*>("dontShowNextTime")->click();
    dialog.findChild<QPushButton*>("ok")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.logic().importType(), 1);
    EXPECT_EQ(preferences().showImportDlg(), 0);
    EXPECT_EQ(preferences().importType(), 1);
}

TEST_F(OutputCommandsTest, CancelStopsLongWorkAtItsNextSafePointAndShowsHowFarItGot)
{
    // A dialog open when the work starts (one it was started from) takes no
    // clicks until it is done.
    QDialog opener(window.get());
    auto* again = new QPushButton("Again", &opener);
    opener.show();
    int clicks = 0;
    QObject::connect(again, &QPushButton::clicked, [&clicks] { ++clicks; });
    const auto clickAgain = [again] {
        const QPointF at(again->rect().center());
        QMouseEvent press(QEvent::MouseButtonPress, at, again->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, again->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(again, &press);
        QApplication::sendEvent(again, &release);
    };
    clickAgain();
    ASSERT_EQ(clicks, 1);
    clicks = 0;

    QTimer canceller;
    QString labelSeen;
    int valueSeen = -1;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(widget);
                progress && progress->isVisible() && progress->labelText() == "Halfway") {
                labelSeen = progress->labelText();
                valueSeen = progress->value();
                clickAgain();
                watcher.stop();
                cancelWhenShown(canceller);
            }
    });
    watcher.start();
    LongWorkOptions options;
    options.stage = "Working";
    options.cancellable = true;
    options.minimumDuration = 0;
    bool stoppedByCancel = false;
    const auto started = std::chrono::steady_clock::now();
    const bool result = window->runInBackground(options, [&](WorkProgress& progress) {
        progress.set("Halfway", 50);
        while (std::chrono::steady_clock::now() - started < std::chrono::seconds(20)) {
            if (progress.cancelled()) {
                stoppedByCancel = true;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    });
    EXPECT_FALSE(result);
    EXPECT_TRUE(stoppedByCancel);
    EXPECT_EQ(labelSeen, "Halfway");
    EXPECT_EQ(valueSeen, 50);
    EXPECT_EQ(clicks, 0);
    // The window takes commands again.
    EXPECT_EQ(percentOf(3, 4), 75);
    EXPECT_EQ(percentOf(1, 0), -1);
}

TEST_F(OutputCommandsTest, ExportAndPreviewPublishOffTheInterfaceThread)
{
    preferences().setShowExportDlg(0);
    preferences().setExportType(0);
    ui.saveAnswers.push_back(out + "Show.htm");
    window->run(Command::ExportHtml);
    EXPECT_TRUE(fs::exists(out + "Show.htm"));
    EXPECT_TRUE(fs::exists(out + "Show/function.js"));
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_TRUE(ui.shown.back().text.starts_with("Total exported file size is ")) << ui.shown.back().text;
    EXPECT_EQ(ui.lastDialog.defaultExtension, "htm");

    window->run(Command::SlidePreview);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(shell.opened[0].ends_with("Template.htm")) << shell.opened[0];
    EXPECT_TRUE(fs::exists(shell.opened[0]));
}

TEST_F(OutputCommandsTest, ExportAsVideoShowsTheFrameBeingMadeAndWritesTheVideo)
{
    if (!fs::exists("/usr/bin/chromium"))
        GTEST_SKIP() << "chromium is not installed";
    ExportDialog dialog(preferences(), ExportChoice{}, window.get());
    auto* video = dialog.findChild<QRadioButton*>("kind3");
    ASSERT_TRUE(video);
    EXPECT_EQ(video->text(), "Export as Video");
    video->click();
    EXPECT_FALSE(dialog.findChild<QCheckBox*>("includeAutoRun")->isEnabled());
    EXPECT_FALSE(dialog.findChild<QSlider*>("imageQuality")->isEnabled());
    EXPECT_EQ(dialog.acceptChoice().kind, ExportKind::Video);

    // The window's export with the stored kind: the progress dialog tells
    // the frame being made and the time left.
    preferences().setShowExportDlg(0);
    preferences().setExportType(static_cast<int>(ExportKind::Video));
    ui.saveAnswers.push_back(out + "Show.mp4");
    QStringList stages;
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&stages] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress && progress->isVisible())
                stages.append(progress->labelText());
    });
    watch.start();
    window->run(Command::ExportHtml);
    watch.stop();
    EXPECT_EQ(ui.lastDialog.defaultExtension, "mp4");
    EXPECT_TRUE(fs::file_size(out + "Show.mp4") > 1000);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_TRUE(ui.shown.back().text.starts_with("Total exported file size is ")) << ui.shown.back().text;
    EXPECT_TRUE(stages.filter(QRegularExpression("^Making frame \\d+ of \\d+, (\\d+:\\d\\d|\\?) left$")).size() > 0)
        << stages.join(" | ").toStdString();
}

TEST_F(OutputCommandsTest, TheHtmlCodeDialogSelectsProcessesAndCopiesTheCode)
{
    std::ofstream(out + "index.htm") << "<html></html>";
    TpsMessageExporter messages;
    PublishContext context(document(), session->library(), session->layers(), messages);
    Publisher publisher(context);
    HtmlCodeCopy logic(publisher, document());
    HtmlCodeDialog dialog(logic, nullptr, window.get());
    auto* process = dialog.findChild<QPushButton*>("process");
    auto* copy = dialog.findChild<QPushButton*>("copy");
    auto* code = dialog.findChild<QPlainTextEdit*>("code");
    ASSERT_TRUE(process && copy && code);
    EXPECT_EQ(dialog.windowTitle(), "Pavonia Html Code");
    EXPECT_TRUE(dialog.findChild<QPushButton*>("select")->isDefault());
    EXPECT_FALSE(process->isEnabled());
    EXPECT_FALSE(copy->isEnabled());

    // A cancelled pick changes nothing; a page of another kind is refused.
    dialog.select();
    ui.openAnswers.push_back(std::vector<std::string>{out + "notes.txt"});
    dialog.select();
    EXPECT_FALSE(process->isEnabled());
    ASSERT_EQ(ui.shown.size(), 1u);

    ui.openAnswers.push_back(std::vector<std::string>{out + "index.htm"});
    dialog.select();
    EXPECT_EQ(dialog.findChild<QLineEdit*>("folder")->text().toStdString(), out);
    EXPECT_TRUE(process->isEnabled());
    EXPECT_FALSE(copy->isEnabled());
    process->click();
    EXPECT_TRUE(fs::exists(out + "index_PVData.htm"));
    EXPECT_TRUE(fs::is_directory(out + "index_PVData"));
    EXPECT_TRUE(copy->isEnabled());
    EXPECT_TRUE(code->toPlainText().startsWith("<IFRAME ID=IFrame0 ")) << code->toPlainText().toStdString();
    EXPECT_TRUE(code->toPlainText().endsWith("SRC='index_PVData.htm'></IFRAME>"));

    QApplication::clipboard()->setText("before");
    copy->click();
    EXPECT_EQ(QApplication::clipboard()->text(), code->toPlainText());
    EXPECT_EQ(code->textCursor().selectedText(), code->toPlainText());
}

TEST_F(OutputCommandsTest, ACancelledDeckConversionAddsNoSlideAndLeavesNoFolderOrProcess)
{
    // A stand-in office program that would take long: it notes its process
    // and waits.
    const std::string bin = installation.root() + "bin/";
    const std::string pidFile = installation.root() + "office.pid";
    fs::create_directories(bin);
    std::ofstream(bin + "soffice") << "#!/bin/sh\necho $$ > '" << pidFile << "'\nexec sleep 30\n";
    fs::permissions(bin + "soffice", fs::perms::owner_all);
    const std::string path = qEnvironmentVariable("PATH").toStdString();
    qputenv("PATH", QByteArray::fromStdString(bin + ":" + path));
    std::ofstream(out + "deck.pptx") << "a deck";

    preferences().setShowImportDlg(0);
    window->treeView().setCurrentIndex(window->treeModel().indexOf(document().tree().allSlides().front()));
    QApplication::processEvents();
    ASSERT_TRUE(window->action(Command::ImportMedia)->isEnabled());
    const int slides = document().tree().slideCount();
    ui.openAnswers.push_back(std::vector<std::string>{out + "deck.pptx"});
    QTimer canceller;
    cancelWhenShown(canceller);
    window->run(Command::ImportMedia);
    qputenv("PATH", QByteArray::fromStdString(path));

    EXPECT_EQ(document().tree().slideCount(), slides);
    for (const auto& entry : fs::directory_iterator(document().systemTempFolder()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("_ppt")) << entry.path();
    std::ifstream pidIn(pidFile);
    pid_t pid = 0;
    ASSERT_TRUE(pidIn >> pid);
    EXPECT_NE(::kill(pid, 0), 0) << "the office program still runs";
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, StringTable::format(str::PresentationCancelled, {out + "deck.pptx"}));
}

} // namespace
} // namespace pavonia
