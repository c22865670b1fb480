#include "app/widgets/SlideVoicePageSetup.h"

#include "album/widgets/ContentAlbumDialog.h"
#include "app/ExternalEditors.h"
#include "app/widgets/MainWindow.h"
#include "app/widgets/PageHost.h"
#include "pages/widgets/SlideVoicePage.h"
#include "voice/NoAudioDevice.h"
#include "voice/audio/QtAudioDevice.h"

#include <QAction>
#include <QProcess>

namespace pavonia {

namespace {

// Starts the sibling product's editor of `kind` on the session's files; the
// page hears when it closes.
bool startEditor(SlideVoicePage* page, const std::string& folder, int kind, const std::string& image,
                 const std::string& message)
{
    const std::string program = folder + (kind == 0 ? ExternalEditors::kFittingEditor : ExternalEditors::kScriptEditor);
    auto* process = new QProcess(page);
    process->setProgram(QString::fromStdString(program));
    process->setArguments({QString::fromStdString(image), QString::fromStdString(message)});
    QObject::connect(process, &QProcess::finished, page, [page, process, kind] {
        process->deleteLater();
        page->editorClosed(kind);
    });
    process->start();
    if (!process->waitForStarted(5000)) {
        delete process;
        return false;
    }
    return true;
}

} // namespace

SlideVoicePage* installSlideVoicePage(MainWindow& window, ImageCache& cache)
{
    ProjectDocument& document = window.document();
    std::unique_ptr<AudioDevice> device;
    std::optional<Failure> problem;
    if (Result<std::unique_ptr<QtAudioDevice>> sound = QtAudioDevice::create()) {
        device = std::move(*sound);
    } else {
        problem = sound.failure();
        device = std::make_unique<NoAudioDevice>(sound.failure());
    }
    auto* page = new SlideVoicePage(document, std::move(device), cache, problem);
    window.pages().setPage(SelectedKind::Session, page);

    QObject::connect(&window.pages(), &PageHost::pageShown, page, [page, &document](SelectedKind mode) {
        if (mode == SelectedKind::Session)
            page->showSession(document.tree().selected());
        else
            page->forgetSession();
    });
    QObject::connect(page, &SlideVoicePage::importMediaRequested, &window,
                     [&window] { window.run(Command::ImportMedia); });
    QAction* importMedia = window.action(Command::ImportMedia);
    QObject::connect(importMedia, &QAction::changed, page,
                     [page, importMedia] { page->setImportMediaAllowed(importMedia->isEnabled()); });
    window.setStopPlayback([page] { page->stopPlayback(); });
    window.setLeavePage([page] { return page->leave(); });
    window.setCommandHandler(Command::ImportWave, [page] { page->importWave(); });
    window.setCommandHandler(Command::ImportTalkingImage, [page] { page->importTalkingImage(); });
    window.setCommandHandler(Command::ImportTalkingMessage, [page] { page->importTalkingMessage(); });

    // Talking images and messages are chosen from the content album.
    page->setContentChooser([&window](int kind, const std::string&) {
        ContentAlbumServices services;
        services.ui = &window.document().ui();
        services.registry = &window.session().registry();
        return runContentAlbum(&window, window.document().installationFolder(),
                               kind == 0 ? AlbumKind::Images : AlbumKind::Messages, services);
    });

    const ExternalEditors editors(window.session().registry());
    if (editors.available()) {
        page->setExternalEditor([page, folder = editors.installFolder()](int kind, const std::string& image,
                                                                         const std::string& message) {
            return startEditor(page, folder, kind, image, message);
        });
    }
    return page;
}

} // namespace pavonia
