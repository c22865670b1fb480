#include "templates/widgets/StylePage.h"

#include "platform/StringTable.h"
#include "templates/widgets/DialogParts.h"
#include "templates/widgets/CustomSettingsDialog.h"
#include "templates/widgets/ListDialog.h"
#include "templates/widgets/ProjectSettingsDialog.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavonia {

QImage toQImage(const DibImage& image)
{
    if (image.empty())
        return {};
    // Bottom-up blue-green-red rows become a top-down picture.
    QImage out(image.width(), image.height(), QImage::Format_RGB888);
    const std::size_t rowBytes = std::size_t(image.width()) * 3;
    for (int row = 0; row < image.height(); ++row) {
        const std::uint8_t* from = image.pixels().data() + rowBytes * std::size_t(image.height() - 1 - row);
        std::uint8_t* to = out.scanLine(row);
        for (std::size_t i = 0; i < rowBytes; i += 3) {
            to[i] = from[i + 2];
            to[i + 1] = from[i + 1];
            to[i + 2] = from[i];
        }
    }
    return out;
}

StylePreviewFrame::StylePreviewFrame(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setMinimumSize(320, 240);
}

void StylePreviewFrame::setPreview(const StylePreview& preview)
{
    mode_ = preview.mode;
    base_ = toQImage(preview.base);
    overlay_ = toQImage(preview.overlay);
    colour_ = toQColor(preview.colour);
    update();
}

void StylePreviewFrame::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect frame = contentsRect();
    painter.fillRect(frame, palette().color(QPalette::Button));
    switch (mode_) {
    case StylePreview::Mode::Base:
        if (!base_.isNull())
            painter.drawImage(frame, base_);
        break;
    case StylePreview::Mode::Colour:
        painter.fillRect(frame, colour_);
        if (!overlay_.isNull())
            painter.drawImage(frame, overlay_);
        break;
    case StylePreview::Mode::Composed:
        if (!overlay_.isNull())
            painter.drawImage(frame, overlay_);
        break;
    }
}

StylePage::StylePage(ProjectDocument& document, const TemplateLibrary& library, LayoutLayers& layers,
                     QWidget* parent)
    : QWidget(parent), document_(document), library_(library), logic_(document, library, layers)
{
    preview_ = new StylePreviewFrame(this);
    preview_->setObjectName("preview");
    styleButton_ = new QPushButton(tableText(str::StylePageImageStyle), this);
    styleButton_->setObjectName("imageStyle");
    layoutButton_ = new QPushButton(tableText(str::StylePageLayout), this);
    layoutButton_->setObjectName("layout");
    settingsButton_ = new QPushButton(tableText(str::StylePageProjectSettings), this);
    settingsButton_->setObjectName("projectSettings");
    connect(styleButton_, &QPushButton::clicked, this, &StylePage::pickStyle);
    connect(layoutButton_, &QPushButton::clicked, this, &StylePage::pickLayout);
    connect(settingsButton_, &QPushButton::clicked, this, &StylePage::editProjectSettings);

    runList_ = [this](ListDialogLogic& list) { return runListDialog(this, list); };
    runCustomSettings_ = [this] { return runCustomSettingsDialog(this, document_, library_); };

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(styleButton_);
    buttons->addWidget(layoutButton_);
    buttons->addWidget(settingsButton_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(preview_, 1);
    layout->addLayout(buttons);
    logic_.setButtonFaceRed(std::uint8_t(palette().color(QPalette::Button).red()));
}

void StylePage::refresh()
{
    logic_.setButtonFaceRed(std::uint8_t(palette().color(QPalette::Button).red()));
    logic_.RefreshStylePreview();
    preview_->setPreview(logic_.preview());
    layoutButton_->setEnabled(logic_.layoutEnabled());
}

void StylePage::afterAction()
{
    preview_->setPreview(logic_.preview());
    layoutButton_->setEnabled(logic_.layoutEnabled());
    emit projectChanged();
}

void StylePage::pickStyle()
{
    logic_.PickStyle(runList_, [this] { runCustomSettings_(); });
    afterAction();
    emit headingFocusRequested();
}

void StylePage::pickLayout()
{
    logic_.PickLayout(runList_);
    afterAction();
    emit headingFocusRequested();
}

void StylePage::editProjectSettings()
{
    runProjectSettingsDialog(this, document_, library_, logic_.templateDefaultsPending);
    emit projectChanged();
}

void StylePage::editCustomSettings()
{
    if (runCustomSettings_())
        logic_.RefreshStylePreview();
    afterAction();
}

void StylePage::projectOpened()
{
    logic_.projectOpened();
    refresh();
}

void StylePage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The preview is rebuilt whenever the page becomes active.
    refresh();
}

} // namespace pavonia
