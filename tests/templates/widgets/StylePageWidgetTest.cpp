// The style page and its list dialog over the stock template library.
#include "OffscreenApplication.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"

#include "templates/TemplateLibrary.h"
#include "templates/widgets/ListDialog.h"
#include "templates/widgets/StylePage.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace pavonia {
namespace {

struct StockFixture {
    StockFixture() { document.settings().resolutionKey = "0_800"; }

    test::TestInstallation install; // with the stock library
    test::ScriptedUi ui;
    test::FixedClock clock;
    test::MapRegistry registry;
    ProjectDocument document{DocumentEnvironment{install.folder(), install.tempFolder(), ui, clock, registry}};
    TemplateLibrary library{install.folder(), ui};
    LayoutLayers layers;
};

// Lets the thumbnails of `dialog` arrive.
void waitForThumbnails(const ListDialog& dialog)
{
    QDeadlineTimer deadline(10000);
    while (dialog.thumbnailsPending() > 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(ListDialog, ShowsTheCatalogueWithThumbnailsAndReturnsTheClickedRow)
{
    StockFixture f;
    ListDialogLogic logic(f.library, ListMode::Standard, "0_800", [&] { f.document.setDirty(true); }, 0, 0, f.ui);
    ListDialog dialog(logic);
    waitForThumbnails(dialog);
    test::grab(dialog, "list-styles");

    EXPECT_EQ(dialog.windowTitle(), "Pavonia");
    EXPECT_EQ(dialog.resolutionList()->currentText(), "800 x 600");
    QListWidget* list = dialog.list();
    ASSERT_EQ(list->count(), int(logic.rows().size()));
    ASSERT_GE(list->count(), 2);
    for (int row = 0; row < list->count(); ++row) {
        EXPECT_EQ(list->item(row)->text().toStdString(), logic.rows()[std::size_t(row)].description);
        EXPECT_FALSE(list->item(row)->icon().isNull()) << row;
    }
    EXPECT_EQ(list->currentRow(), 0);

    list->setCurrentRow(1);
    dialog.accept();
    ASSERT_TRUE(dialog.choice());
    EXPECT_EQ(dialog.choice()->number, logic.rows()[1].number);
    EXPECT_EQ(dialog.choice()->position, 1);
    EXPECT_EQ(dialog.choice()->resolutionKey, "0_800");
    EXPECT_TRUE(f.ui.shown.empty());

    ListDialogLogic layouts(f.library, ListMode::Layouts, "0_800", [&] { f.document.setDirty(true); }, 1, 1, f.ui);
    ListDialog layoutDialog(layouts);
    waitForThumbnails(layoutDialog);
    test::grab(layoutDialog, "list-layouts");
    EXPECT_EQ(layoutDialog.windowTitle(), "Select Layout");
    EXPECT_FALSE(layoutDialog.resolutionList()->isVisibleTo(&layoutDialog));
    EXPECT_EQ(layoutDialog.list()->currentRow(), 1);
}

TEST(StylePage, ThePreviewFollowsAPick)
{
    StockFixture f;
    StylePage page(f.document, f.library, f.layers);
    page.resize(480, 400);
    page.show();
    const QImage before = test::grab(page, "style-page");
    EXPECT_EQ(page.logic().preview().mode, StylePreview::Mode::Base);
    EXPECT_FALSE(page.logic().preview().base.empty());
    EXPECT_TRUE(page.findChild<QPushButton*>("layout")->isEnabled());

    // Pick the first custom style with a colour background.
    f.document.settings().backgroundMode = 1;
    f.document.settings().backgroundColour = 0x0000FF;
    int customSettings = 0;
    page.setCustomSettingsRunner([&] { return ++customSettings, false; });
    page.setListDialogRunner([](ListDialogLogic& list) -> std::optional<ListChoice> {
        list.open();
        list.chooseResolution(0); // "Custom"
        return list.accept();
    });
    f.document.settings().styleNumber = 1000;
    f.document.settings().resolutionKey = "1_800";
    int headingFocus = 0;
    QObject::connect(&page, &StylePage::headingFocusRequested, [&] { ++headingFocus; });
    page.pickStyle();
    EXPECT_EQ(customSettings, 1);
    EXPECT_EQ(headingFocus, 1);
    EXPECT_EQ(page.logic().preview().mode, StylePreview::Mode::Colour);
    const QImage after = test::grab(page, "style-page-custom");
    EXPECT_NE(before, after);
    // The frame is filled with the background colour (red, 0x0000FF) where the mask is white.
    const QImage frame = page.previewFrame()->grab().toImage();
    int red = 0;
    for (int x = 0; x < frame.width(); x += 4)
        for (int y = 0; y < frame.height(); y += 4)
            red += frame.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_GT(red, 0);
}

} // namespace
} // namespace pavonia
