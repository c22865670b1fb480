#include "app/widgets/OutputCommands.h"

#include "app/widgets/MainWindow.h"
#include "app/widgets/QtUi.h"
#include "export/ExportPresentation.h"
#include "export/widgets/ExportDialog.h"
#include "import/MediaImport.h"
#include "import/widgets/ImportMediaDialog.h"
#include "platform/StringTable.h"
#include "platform/Text.h"
#include "publish/HtmlCodeCopy.h"
#include "publish/widgets/HtmlCodeDialog.h"
#include "voice/TpsMessageExporter.h"

#include <QCoreApplication>
#include <QThread>

namespace pavonia {

namespace {

// A slide deck converted on a worker thread under the window's cancellable
// progress dialog: Cancel stops the converter's programs, so that the
// import adds no slide from the deck.
class BackgroundDeckConverter final : public SlideDeckConverter {
public:
    BackgroundDeckConverter(MainWindow& window, LibreOfficeConverter& converter)
        : window_(window), converter_(converter)
    {
    }

    bool available() const override { return converter_.available(); }

    DeckConversion convert(const std::string& deckPath, const std::string& folder, int maxPictures) override
    {
        DeckConversion result;
        result.status = DeckConversion::Status::Cancelled;
        LongWorkOptions options;
        options.stage = StringTable::format(str::ImportStageConverting, {finalComponent(deckPath)});
        options.cancellable = true;
        window_.runInBackground(options, [&](WorkProgress& progress) {
            converter_.setKeepGoing([&progress] { return !progress.cancelled(); });
            converter_.setPicturesDone([&progress](int done, int total) {
                progress.setPercent(percentOf(unsigned(done), unsigned(total)));
            });
            result = converter_.convert(deckPath, folder, maxPictures);
            converter_.setKeepGoing(nullptr);
            converter_.setPicturesDone(nullptr);
            return true;
        });
        return result;
    }

private:
    MainWindow& window_;
    LibreOfficeConverter& converter_;
};

} // namespace

PublishContext OutputCommands::publishContext(MessageExporter& exporter)
{
    ProjectSession& session = window_.session();
    PublishContext context(session.document(), session.library(), session.layers(), exporter);
    context.verticalDotsPerInch = window_.logicalDpiY();
    context.qualities = qualities_;
    // Publishing under the progress dialog shows how far it is and stops
    // at its Cancel.
    context.progress = [this](std::size_t done, std::size_t total) {
        if (!publishing_)
            return true;
        publishing_->setPercent(percentOf(done, total));
        return !publishing_->cancelled();
    };
    // Publishing may run on a worker thread: the slide page's playback is
    // stopped on the interface thread, and the page is opened there once
    // published.
    context.stopPlayback = [this] {
        if (QThread::currentThread() == window_.thread())
            window_.stopPlayback();
        else
            QMetaObject::invokeMethod(&window_, [this] { window_.stopPlayback(); }, Qt::BlockingQueuedConnection);
    };
    return context;
}

bool OutputCommands::exportPresentation()
{
    TpsMessageExporter messages;
    ExportContext context(publishContext(messages));
    Preferences& preferences = window_.document().preferences();
    context.dialog = [this, &preferences](const ExportChoice& stored) {
        const QtUi::NormalCursor cursor;
        return runExportDialog(&window_, preferences, stored);
    };
    context.save = [this] { return window_.projectCommands().SaveCommand(false); };
    std::string sizeText;
    context.showSize = [&sizeText](const std::string& text) { sizeText = text; };
    WorkProgress* shown = nullptr;
    context.progress = [&shown](const ExportProgress& at) {
        static constexpr int stages[] = {str::ExportStagePublishing, str::ExportStageCopying,
                                         str::ExportStagePacking};
        shown->set(StringTable::text(stages[static_cast<int>(at.phase)]), percentOf(at.done, at.total));
        return !shown->cancelled();
    };
    // A video tells the picture or frame being made and the time left.
    context.videoProgress = [&shown](const VideoProgress& at) {
        shown->set(at.text(), percentOf(static_cast<unsigned long long>(at.done), static_cast<unsigned long long>(at.total)));
        return !shown->cancelled();
    };

    ExportPresentation exporter(context);
    const std::optional<ExportRequest> request = exporter.ask();
    qualities_ = exporter.qualities();
    if (!request)
        return false;
    LongWorkOptions options;
    options.stage = StringTable::text(str::ExportStagePublishing);
    options.cancellable = true;
    const bool exported = window_.runInBackground(options, [&](WorkProgress& progress) {
        shown = &progress;
        return exporter.exportTo(request->choice, request->outputPath);
    });
    qualities_ = exporter.qualities();
    if (exported && !sizeText.empty())
        window_.document().message(sizeText);
    return exported;
}

bool OutputCommands::publishInBackground(const std::string& stage, const std::function<bool()>& work)
{
    LongWorkOptions options;
    options.stage = stage;
    options.cancellable = true;
    return window_.runInBackground(options, [&](WorkProgress& progress) {
        publishing_ = &progress;
        const bool done = work();
        publishing_ = nullptr;
        return done;
    });
}

bool OutputCommands::preview()
{
    window_.stopPlayback();
    TpsMessageExporter messages;
    Publisher publisher(publishContext(messages));
    if (!publishInBackground(StringTable::text(str::PreviewStage), [&] { return PreviewInBrowser(publisher); }))
        return false;
    window_.shell().open(publisher.publishedPage());
    return true;
}

void OutputCommands::htmlCodeCopy()
{
    window_.stopPlayback();
    TpsMessageExporter messages;
    Publisher publisher(publishContext(messages));
    HtmlCodeCopy logic(publisher, window_.document());
    runHtmlCodeDialog(&window_, logic, [this](const std::string& page, const std::function<bool()>& work) {
        return publishInBackground(StringTable::format(str::HtmlCodeStageProcessing, {page}), work);
    });
}

bool OutputCommands::importMedia()
{
    ProjectDocument& document = window_.document();
    LibreOfficeConverter converter(document.preferences().convertTimeout());
    converter.setKeptProfile(keptOfficeProfile(document));
    BackgroundDeckConverter background(window_, converter);
    MediaImport import(document, window_.session().operations(), background);
    import.setStopPlayback([this] { window_.stopPlayback(); });
    import.setImportTypePrompt([this, &document](int current) {
        const QtUi::NormalCursor cursor;
        return runImportMediaDialog(&window_, document.preferences(), current);
    });
    return import.ImportMediaFiles();
}

} // namespace pavonia
