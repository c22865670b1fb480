#pragma once
// The style page: the page the main window shows when the project root is
// selected. A preview of the project's style with its layout, and the
// buttons "Image Style", "Layout" and "Project Settings", over
// StylePageLogic.
//
// Entry points for the window's commands:
//   StylePage::pickStyle()            "Select Image Style" (PickStyle)
//   StylePage::pickLayout()           "Select Layout" (PickLayout)
//   StylePage::editProjectSettings()  "Project Settings" (EditProjectSettings)
//   StylePage::editCustomSettings()   "Custom Settings" (EditCustomSettings)
//   StylePage::projectOpened()        after New or Open: remembered
//                                     positions and the preview
// After a pick the page emits headingFocusRequested(): the window puts the
// focus on its heading text box. Every action that may have changed the
// project emits projectChanged().
#include "project/ProjectDocument.h"
#include "templates/LayoutLayers.h"
#include "templates/StylePageLogic.h"

#include <QFrame>
#include <QWidget>

class QPushButton;

namespace pavonia {

class TemplateLibrary;

// Draws a StylePreview: the button-face colour, then by mode the base
// picture, or the colour and the overlay, or the overlay; every picture
// stretched to the frame.
class StylePreviewFrame : public QFrame {
    Q_OBJECT
public:
    explicit StylePreviewFrame(QWidget* parent = nullptr);
    void setPreview(const StylePreview& preview);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StylePreview::Mode mode_ = StylePreview::Mode::Base;
    QImage base_;
    QImage overlay_;
    QColor colour_;
};

class StylePage : public QWidget {
    Q_OBJECT
public:
    StylePage(ProjectDocument& document, const TemplateLibrary& library, LayoutLayers& layers,
              QWidget* parent = nullptr);

    StylePageLogic& logic() { return logic_; }
    StylePreviewFrame* previewFrame() const { return preview_; }

    void pickStyle();
    void pickLayout();
    void editProjectSettings();
    void editCustomSettings();
    void projectOpened();
    // Rebuilds the preview and the buttons' state.
    void refresh();

    // How the page opens its dialogs; tests answer without modal dialogs.
    void setListDialogRunner(StylePageLogic::ListDialogRunner runner) { runList_ = std::move(runner); }
    void setCustomSettingsRunner(std::function<bool()> runner) { runCustomSettings_ = std::move(runner); }

signals:
    void headingFocusRequested();
    void projectChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void afterAction();

    ProjectDocument& document_;
    const TemplateLibrary& library_;
    StylePageLogic logic_;
    StylePreviewFrame* preview_ = nullptr;
    QPushButton* styleButton_ = nullptr;
    QPushButton* layoutButton_ = nullptr;
    QPushButton* settingsButton_ = nullptr;
    StylePageLogic::ListDialogRunner runList_;
    std::function<bool()> runCustomSettings_;
};

// A DibImage as a QImage (a copy).
QImage toQImage(const DibImage& image);

} // namespace pavonia
