#include "app/widgets/ScreenshotTour.h"

#include "album/widgets/ContentAlbumDialog.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/PageHost.h"
#include "app/widgets/StartupDialog.h"
#include "app/ProjectSession.h"
#include "pages/widgets/PictureDialog.h"
#include "platform/StringTable.h"
#include "templates/CustomSettingsLogic.h"
#include "templates/widgets/BackgroundPictureDialog.h"
#include "templates/widgets/CustomSettingsDialog.h"
#include "templates/widgets/FontSettingDialog.h"
#include "import/widgets/ImportMediaDialog.h"
#include "platform/StringTable.h"
#include "pages/widgets/SlideVoicePage.h"
#include "voice/VoiceTemplateList.h"
#include "voice/widgets/AddVoiceTemplateDialog.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <QTreeView>

#include <chrono>
#include <cstdio>
#include <thread>
#include <cstdlib>

namespace pavonia {

namespace {

constexpr int kSettleMilliseconds = 400;
constexpr int kDialogWaitMilliseconds = 5000;

} // namespace

ScreenshotTour::ScreenshotTour(MainWindow& window, QString folder)
    : QObject(&window), window_(window), folder_(std::move(folder))
{
}

QString ScreenshotTour::requestedFolder() { return qEnvironmentVariable("PAVONIA_SCREENSHOTS"); }

void ScreenshotTour::begin()
{
    QDir().mkpath(folder_);
    QTimer::singleShot(0, this, [this] { run(); });
}

void ScreenshotTour::settle()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kSettleMilliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void ScreenshotTour::save(QWidget& widget, const QString& name)
{
    const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++failures_;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

void ScreenshotTour::photographWindow(const QString& name)
{
    settle();
    save(window_, name);
}

void ScreenshotTour::photographDialog(const QString& name, const std::function<void()>& open, bool required)
{
    // Every modal window the command shows is photographed and closed in
    // turn: a message that comes before the dialog (a machine without
    // recording inputs, say) as NAME-2, NAME-3 after the first.
    int taken = 0;
    QElapsedTimer waited;
    waited.start();
    QTimer poll;
    poll.setInterval(100);
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        if (!shown || !shown->isVisible()) {
            if (taken == 0 && waited.elapsed() > kDialogWaitMilliseconds)
                poll.stop();
            return;
        }
        settle();
        save(*shown, taken == 0 ? name : name + QStringLiteral("-%1").arg(taken + 1));
        ++taken;
        if (auto* dialog = qobject_cast<QDialog*>(shown))
            dialog->reject();
        else
            shown->close();
    });
    poll.start();
    open();
    if (!required) {
        // A window the action shows may come a moment later.
        settle();
    }
    poll.stop();
    if (taken == 0 && required) {
        std::fprintf(stderr, "%s: no dialog appeared\n", qPrintable(name));
        ++failures_;
    }
}

void ScreenshotTour::run()
{
    QTreeView& tree = window_.treeView();
    QAbstractItemModel* model = tree.model();
    const QModelIndex root = model->index(0, 0);
    const QModelIndex session = model->index(0, 0, root);
    const QModelIndex slide = model->index(0, 0, session);
    tree.expandAll();

    const struct {
        QModelIndex item;
        const char* name;
    } modes[] = {{root, "main-style-page"}, {session, "main-session-page"}, {slide, "main-slide-page"}};
    for (const auto& mode : modes) {
        // A page may say something once as it first shows (the session
        // page on a machine without sound).
        photographDialog(QString::fromLatin1(mode.name) + QStringLiteral("-message"),
                         [&tree, &mode] { tree.setCurrentIndex(mode.item); }, false);
        photographWindow(QString::fromLatin1(mode.name));
    }
    window_.run(Command::SlideInfo);
    photographWindow(QStringLiteral("main-info-page"));
    tree.setCurrentIndex(root);
    settle();

    photographDialog(QStringLiteral("dialog-startup"), [this] { StartupDialog::ask(StartupDialogState{}, &window_); });
    photographDialog(QStringLiteral("dialog-startup-new-project"), [this] {
        StartupDialogState state;
        state.atStartup = false;
        StartupDialog::ask(state, &window_);
    });
    const struct {
        Command command;
        const char* name;
    } dialogs[] = {
        {Command::OpenProject, "dialog-open-project"},
        {Command::SelectImageStyle, "dialog-style-list"},
        {Command::SelectLayout, "dialog-layout-list"},
        {Command::ProjectSettings, "dialog-project-settings"},
        {Command::Preferences, "dialog-preferences"},
        {Command::About, "dialog-about"},
    };
    for (const auto& dialog : dialogs)
        photographDialog(QString::fromLatin1(dialog.name), [this, &dialog] { window_.run(dialog.command); });

    // The dialogs reached from inside other dialogs, and Custom Settings,
    // which the sample's standard style leaves disabled as a command.
    photographDialog(QStringLiteral("dialog-font-setting"), [this] {
        FontSpec font = window_.document().settings().headingFont;
        runFontSettingDialog(&window_, font);
    });
    photographDialog(QStringLiteral("dialog-custom-settings"), [this] {
        runCustomSettingsDialog(&window_, window_.document(), window_.session().library());
    });
    photographDialog(QStringLiteral("dialog-background-picture"), [this] {
        CustomSettingsLogic logic(window_.document(), window_.session().library());
        runBackgroundPictureDialog(&window_, logic.browseOptions(), false);
    });
    // The session page's voice filter dialog and its "Add Voice Template".
    tree.setCurrentIndex(session);
    settle();
    if (auto* voice = qobject_cast<SlideVoicePage*>(window_.pages().page(SelectedKind::Session))) {
        photographDialog(QStringLiteral("dialog-voice-filter"), [voice] { voice->openVoiceFilter(); });
        photographDialog(QStringLiteral("dialog-add-voice-template"), [this] {
            VoiceTemplateList templates(window_.document().installationFolder());
            AddVoiceTemplateLogic add("Custom-1", templates, window_.document().ui());
            AddVoiceTemplateDialog(add, &window_).exec();
        });
    }
    tree.setCurrentIndex(root);
    settle();

    // The content album, on a greeting for messages (silent: the tour plays nothing).
    const std::string home = window_.document().installationFolder();
    photographDialog(QStringLiteral("dialog-content-album-images"),
                     [this, &home] { runContentAlbum(&window_, home, AlbumKind::Images); });
    photographDialog(QStringLiteral("dialog-content-album-messages"), [this, &home] {
        ContentAlbumServices services;
        services.openSystemAudio = false;
        services.startFolder = home + "Content/Greetings";
        services.startString = "Welcome.tps";
        runContentAlbum(&window_, home, AlbumKind::Messages, services);
    });

    // Export, HTML code and media import, and the progress of long work.
    photographDialog(QStringLiteral("dialog-export"), [this] { window_.run(Command::ExportHtml); });
    photographDialog(QStringLiteral("dialog-html-code"), [this] { window_.run(Command::HtmlCodeCopy); });
    tree.setCurrentIndex(slide);
    settle();
    photographDialog(QStringLiteral("dialog-import-media-files"), [this] { window_.run(Command::ImportMedia); });
    photographDialog(QStringLiteral("dialog-import-media-settings"), [this] {
        runImportMediaDialog(&window_, window_.document().preferences(), 0);
    });
    photographDialog(QStringLiteral("dialog-progress"), [this] {
        LongWorkOptions options;
        options.stage = StringTable::text(str::ExportStageCopying);
        options.cancellable = true;
        options.minimumDuration = 0;
        window_.runInBackground(options, [](WorkProgress& progress) {
            progress.setPercent(40);
            while (!progress.cancelled())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return false;
        });
    });

    // The media page's picture dialog, opened on the layout pictures of the
    // installation with one selected, so that its preview pane shows a
    // thumbnail; and the media page's address dialog.
    photographDialog(QStringLiteral("dialog-picture"), [this] {
        FileDialogOptions options;
        options.title = StringTable::text(str::MediaDialogTitle);
        options.filter = StringTable::text(str::MediaFileFilter);
        options.startFolder = window_.document().installationFolder() + "Template/Layout/";
        options.fileName = "L1.jpg";
        runPictureDialog(&window_, options);
    });
    // A slide with a picture, its preview made by the image cache.
    tree.setCurrentIndex(model->index(1, 0, session));
    photographWindow(QStringLiteral("main-slide-page-picture"));
    photographDialog(QStringLiteral("dialog-open-url"), [this] {
        if (QWidget* urlLink = window_.pages().currentPage()->findChild<QWidget*>(QStringLiteral("urlLink")))
            QMetaObject::invokeMethod(urlLink, "click");
    });
    tree.setCurrentIndex(root);
    settle();

    // Nothing the tour did is to be kept or asked about.
    window_.document().setDirty(false);
    QCoreApplication::exit(failures_ == 0 ? 0 : 1);
}

} // namespace pavonia
