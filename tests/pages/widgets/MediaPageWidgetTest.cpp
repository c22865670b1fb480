#include "pages/widgets/MediaPage.h"

#include "ImageCacheTestSupport.h"
#include "OffscreenApplication.h"
#include "TestProject.h"
#include "templates/TemplateLibrary.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace pavonia {
namespace {

using test::processUntil;

struct NoShell final : Shell {
    bool open(const std::string&) override { return true; }
};

// Types `text` into `field` key by key, as a user does.
void type(QWidget& field, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&field, &press);
    }
}

void clear(QLineEdit& field)
{
    field.setFocus();
    field.selectAll();
    QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(&field, &erase);
}

class MediaPageWidgetTest : public ::testing::Test, protected test::TestProject {
protected:
    MediaPageWidgetTest()
        : library(inst.folder(), ui),
          cache(10, QString::fromStdString(inst.folder() + "loading.jpg")),
          page(document, library, layers, shell, cache)
    {
        operations.createView();
        slide = document.tree().root().child(0)->child(0);
        page.show();
        page.showSlide(slide);
    }

    TemplateLibrary library;
    LayoutLayers layers;
    NoShell shell;
    ImageCache cache;
    MediaPage page;
    TreeItem* slide = nullptr;
};

TEST_F(MediaPageWidgetTest, TypingIsKeptInTheSlideAndTheDelayRefusesTooMuch)
{
    type(*page.subTopicEdit(), "Sunrise");
    EXPECT_EQ(slide->slide()->subTopic, "Sunrise");
    EXPECT_EQ(slide->text(), "Sunrise");
    page.descriptionEdit()->setFocus();
    type(*page.descriptionEdit(), "Gulls");
    EXPECT_EQ(slide->slide()->description, "Gulls");

    clear(*page.delayEdit());
    type(*page.delayEdit(), "12");
    EXPECT_FLOAT_EQ(slide->slide()->delay, 12.0f);
    ui.shown.clear();
    clear(*page.delayEdit());
    type(*page.delayEdit(), "300.5");
    EXPECT_EQ(ui.texts(), std::vector<std::string>{"The maximum delay time setting is 300 seconds."});
    EXPECT_EQ(page.delayEdit()->text(), "300") << "the value before the refused key";
    EXPECT_FLOAT_EQ(slide->slide()->delay, 300.0f);

    // Another page and back: nothing typed is lost.
    page.leave();
    page.showSlide(slide);
    EXPECT_EQ(page.subTopicEdit()->text(), "Sunrise");
    EXPECT_EQ(page.descriptionEdit()->toPlainText(), "Gulls");
    EXPECT_EQ(page.delayEdit()->text(), "300");
}

TEST_F(MediaPageWidgetTest, AClipDisablesTransitionsAndShowsItsPlaceholderPicture)
{
    const std::string clip = inst.writeFile("media/talk.wmv", "not really a film");
    const std::string photo = inst.writeFile("media/empty.jpg", "");
    std::string answer = clip;
    page.setMediaDialog([&](const FileDialogOptions&) { return std::optional<std::string>(answer); });
    page.importButton()->click();
    EXPECT_FALSE(page.transitionList()->isEnabled());
    EXPECT_EQ(page.transitionList()->currentIndex(), 0);
    ASSERT_TRUE(processUntil([&] {
        const QImage shown = page.preview()->picture();
        return shown.size() == MediaPage::kPreviewSize &&
               cache.isCached(QString::fromStdString(inst.folder() + "wmv_logo.bmp"));
    }));
    processUntil([] { return false; }, 100); // the finished picture's signal
    EXPECT_EQ(page.preview()->picture().pixelColor(80, 60), cache.picture(QString::fromStdString(inst.folder() + "wmv_logo.bmp"), 2).pixelColor(80, 60));
    test::grab(page, "media-page-clip");

    // A picture afterwards enables the list again.
    ASSERT_TRUE(test::writePicture(QString::fromStdString(photo), 64, 48));
    answer = photo;
    page.importButton()->click();
    EXPECT_TRUE(page.transitionList()->isEnabled());
}

TEST_F(MediaPageWidgetTest, UrlLinkFillsTheDescriptionWithAFrame)
{
    page.setUrlDialog([] { return std::optional<std::string>("example.com/a b"); });
    page.findChild<QPushButton*>("urlLink")->click();
    const QString description = page.descriptionEdit()->toPlainText();
    EXPECT_TRUE(description.startsWith("<IFRAME ID=IFrame1")) << description.toStdString();
    EXPECT_TRUE(description.contains("SRC='http://example.com/a%20b'"));
    EXPECT_EQ(slide->slide()->description, description.toStdString());
}

} // namespace
} // namespace pavonia
