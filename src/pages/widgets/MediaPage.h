#pragma once
// The media page: the page the main window shows when a slide is selected.
// The slide's sub-topic, description (or a web frame from "URL Link"), its
// media file chosen through the picture dialog, its transition and delay, and
// a preview of its picture through the image cache's output 2 (a placeholder
// picture for clips). A double click on the preview opens the media file.
// Over MediaPageLogic; every edit is stored in the slide at once.
//
// Entry points for the window:
//   MediaPage::showSlide(item)   the selected slide (nothing for others)
//   MediaPage::leave()           another page is shown
#include "pages/ImageCache.h"
#include "pages/MediaPageLogic.h"

#include <QFrame>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pavonia {

// A picture centred in a frame, on the frame's colour; emits doubleClicked.
class MediaPreviewFrame final : public QFrame {
    Q_OBJECT
public:
    explicit MediaPreviewFrame(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};

class MediaPage final : public QWidget {
    Q_OBJECT
public:
    // The preview frame's size, which output 2 of the cache is given.
    static constexpr QSize kPreviewSize{288, 216};
    static constexpr int kPreviewOutput = 2;

    MediaPage(ProjectDocument& document, const TemplateLibrary& library, const LayoutLayers& layers, Shell& shell,
              ImageCache& cache, QWidget* parent = nullptr);

    MediaPageLogic& logic() { return logic_; }
    void showSlide(TreeItem* item);
    void leave();

    // How the page asks for the media file and the address; tests answer
    // without modal dialogs.
    void setMediaDialog(MediaPageLogic::MediaDialog dialog) { logic_.setMediaDialog(std::move(dialog)); }
    void setUrlDialog(MediaPageLogic::UrlDialog dialog) { logic_.setUrlDialog(std::move(dialog)); }

    QLineEdit* subTopicEdit() const { return subTopic_; }
    QPlainTextEdit* descriptionEdit() const { return description_; }
    QLineEdit* delayEdit() const { return delay_; }
    QComboBox* transitionList() const { return transitions_; }
    QPushButton* importButton() const { return import_; }
    MediaPreviewFrame* preview() const { return preview_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void refreshPreview();
    std::optional<std::string> askUrl();

    MediaPageLogic logic_;
    ImageCache& cache_;
    QLineEdit* subTopic_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    QPushButton* urlLink_ = nullptr;
    QPushButton* import_ = nullptr;
    QComboBox* transitions_ = nullptr;
    QLineEdit* delay_ = nullptr;
    MediaPreviewFrame* preview_ = nullptr;
    bool refreshing_ = false;
};

} // namespace pavonia
