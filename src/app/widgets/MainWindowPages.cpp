// The editing pages of the form and the handlers of the commands whose work
// lives in another subsystem's pages and dialogs. Each page mode starts with
// a placeholder page; a page replaces it with
//     pages_->setPage(SelectedKind::Project, new StylePage(...));
// and a command handler with
//     setCommandHandler(Command::ProjectSettings, [this] { ... });
// A command without a handler says that it arrives with a later version.
#include "app/widgets/MainWindow.h"
#include "app/widgets/OutputCommands.h"
#include "app/widgets/PageHost.h"
#include "app/widgets/PreferencesDialog.h"
#include "app/widgets/SlideVoicePageSetup.h"
#include "pages/ImageCache.h"
#include "pages/widgets/SlideVoicePage.h"
#include "pages/widgets/InfoPage.h"
#include "pages/widgets/MediaPage.h"
#include "templates/widgets/StylePage.h"
#include "voice/audio/QtAudioDevice.h"
#include "voice/audio/QtInputDevices.h"

#include <QLineEdit>

#include <memory>

namespace pavonia {

void MainWindow::installPages()
{
    // The style page shows the project root: its style, layout and the
    // settings that go with them.
    auto* style = new StylePage(document(), session_.library(), session_.layers());
    pages_->setPage(SelectedKind::Project, style);
    connect(style, &StylePage::headingFocusRequested, this, [this] { headingEdit_->setFocus(); });
    connect(style, &StylePage::projectChanged, this, &MainWindow::refreshViews);

    setCommandHandler(Command::SelectImageStyle, [style] { style->pickStyle(); });
    setCommandHandler(Command::SelectLayout, [style] { style->pickLayout(); });
    setCommandHandler(Command::ProjectSettings, [style] { style->editProjectSettings(); });
    setCommandHandler(Command::CustomSettings, [style] { style->editCustomSettings(); });

    // The media page (a slide) and the information page, with the form's
    // image cache; each is brought up to date as it is shown.
    auto* cache = new ImageCache(10, QString::fromStdString(document().installationFolder() + "loading.jpg"), this);
    auto* media = new MediaPage(document(), session_.library(), session_.layers(), shell_, *cache);
    auto* info = new InfoPage(document().tree(), document().installationFolder());
    pages_->setPage(SelectedKind::Slide, media);
    pages_->setPage(SelectedKind::Information, info);
    connect(pages_, &PageHost::pageShown, media, [this, media](SelectedKind mode) {
        mode == SelectedKind::Slide ? media->showSlide(document().tree().selected()) : media->leave();
    });
    connect(pages_, &PageHost::pageShown, info, [info](SelectedKind mode) {
        if (mode == SelectedKind::Information)
            info->refresh();
    });

    // The slide voice page shows a session: its voice, talking image and
    // the timing of its slides.
    SlideVoicePage* voice = installSlideVoicePage(*this, *cache);
    projectOpened_ = [style, voice] {
        voice->forgetSession();
        style->projectOpened();
    };

    // Preferences lists the recording inputs of the machine; where there is
    // no audio device the dialog shows its recording group disabled.
    setCommandHandler(Command::Preferences, [this] {
        Result<std::unique_ptr<QtAudioDevice>> device = QtAudioDevice::create();
        if (!device) {
            runPreferencesDialog(this, document(), nullptr);
            return;
        }
        QtInputDevices inputs(device->get());
        runPreferencesDialog(this, document(), &inputs);
    });

    // Export, preview, HTML code and media import (OutputCommands.cpp).
    auto output = std::make_shared<OutputCommands>(*this);
    setCommandHandler(Command::ExportHtml, [output] { output->exportPresentation(); });
    setCommandHandler(Command::SlidePreview, [output] { output->preview(); });
    setCommandHandler(Command::HtmlCodeCopy, [output] { output->htmlCodeCopy(); });
    setCommandHandler(Command::ImportMedia, [output] { output->importMedia(); });
}

} // namespace pavonia
