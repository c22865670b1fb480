// The Font Setting, Project Settings, Custom Settings and background picture
// dialogs show their logic's state, and OK writes what the logic says.
#include "OffscreenApplication.h"
#include "PictureFiles.h"
#include "TemplateFixture.h"

#include "templates/widgets/BackgroundPictureDialog.h"
#include "templates/widgets/CustomSettingsDialog.h"
#include "templates/widgets/FontSettingDialog.h"
#include "templates/widgets/ProjectSettingsDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

PAVONIA_OFFSCREEN_APPLICATION;

namespace pavonia {
namespace {

template <typename T>
T* child(QWidget& parent, const char* name)
{
    T* found = parent.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// A colour chooser that answers `colour` and records what it was preset with.
struct ScriptedColours {
    std::uint32_t answer = 0;
    std::vector<std::uint32_t> presets;
    ColourChooser chooser()
    {
        return [this](QWidget*, std::uint32_t current) -> std::optional<std::uint32_t> {
            presets.push_back(current);
            return answer;
        };
    }
};

TEST(FontSettingDialog, ShowsTheFontAndOkWritesTheChoice)
{
    FontSpec font;
    font.size = 14;
    font.italic = 1;
    font.colour = 0x0000FF;
    ScriptedColours colours{0x00FF00, {}};
    FontSettingDialog dialog(font, nullptr, colours.chooser());
    test::grab(dialog, "font-setting");

    auto* sizes = child<QComboBox>(dialog, "sizes");
    EXPECT_EQ(sizes->count(), 16);
    EXPECT_EQ(sizes->currentText(), "14");
    EXPECT_TRUE(child<QAction>(dialog, "italic")->isChecked());
    EXPECT_FALSE(child<QAction>(dialog, "bold")->isChecked());
    EXPECT_EQ(child<QComboBox>(dialog, "faces")->currentIndex(), dialog.logic().selectedFace());

    sizes->setCurrentIndex(sizes->findText("36"));
    child<QAction>(dialog, "bold")->trigger();
    child<QAction>(dialog, "colour")->trigger();
    EXPECT_EQ(colours.presets, std::vector<std::uint32_t>{0x0000FF});
    EXPECT_EQ(dialog.logic().preview().weight, 700);

    dialog.acceptInto(font);
    EXPECT_EQ(font.size, 36);
    EXPECT_EQ(font.bold, 1);
    EXPECT_EQ(font.italic, 1);
    EXPECT_EQ(font.colour, 0x00FF00u);
}

struct DocumentFixture : test::TemplateFixture {
    test::FixedClock clock;
    test::MapRegistry registry;
    ProjectDocument document{DocumentEnvironment{install.folder(), install.tempFolder(), ui, clock, registry}};
};

TEST(ProjectSettingsDialog, ShowsTheSwitchesAndOkWritesTheProject)
{
    DocumentFixture f;
    ProjectSettings& project = f.document.settings();
    project.autoPlay = 1;
    project.autoLoop = 1;
    project.autoJump = 0;
    project.headingFont.setFaceName("Georgia");
    bool pending = false;
    ProjectSettingsLogic logic(project, [&] { f.document.setDirty(true); }, pending, f.library, f.ui);
    logic.open();
    FontSpec edited;
    edited.setFaceName("Courier");
    edited.size = 20;
    ProjectSettingsDialog dialog(logic, nullptr, [&](QWidget*, FontSpec& font) {
        EXPECT_EQ(font.faceName(), "Georgia");
        font = edited;
        return true;
    });
    test::grab(dialog, "project-settings");

    auto* autoLoop = child<QCheckBox>(dialog, "autoLoop");
    auto* autoJump = child<QCheckBox>(dialog, "autoJump");
    EXPECT_TRUE(child<QCheckBox>(dialog, "autoPlay")->isChecked());
    EXPECT_TRUE(autoLoop->isChecked());
    EXPECT_FALSE(autoJump->isChecked());
    EXPECT_FALSE(autoLoop->isEnabled()); // only while Auto Jump Slide is ticked

    autoJump->click();
    EXPECT_TRUE(autoLoop->isEnabled());
    child<QPushButton>(dialog, "headingFont")->click();
    dialog.accept();
    EXPECT_EQ(project.autoJump, 1);
    EXPECT_EQ(project.headingFont.faceName(), "Courier");
    EXPECT_EQ(project.headingFontSet, 1);
    EXPECT_TRUE(f.document.dirty());
}

TEST(CustomSettingsDialog, ShowsTheBackgroundAndOkAppliesTheColours)
{
    DocumentFixture f;
    ProjectSettings& project = f.document.settings();
    project.styleNumber = 1002;
    project.resolutionKey = "1_800";
    project.backgroundColour = 0x112233;
    project.subTopicFontSet = 1;
    project.subTopicFont.colour = 0x445566;
    CustomSettingsLogic logic(f.document, f.library);
    logic.open();
    ScriptedColours colours{0x0000FF, {}};
    const std::string picture = f.install.writeFile("pictures/sea.jpg", "x");
    int browsed = 0;
    CustomSettingsDialog dialog(logic, nullptr, colours.chooser(),
                                [&](QWidget*, const FileDialogOptions&, bool) -> std::optional<PictureChoice> {
                                    ++browsed;
                                    return PictureChoice{picture, true};
                                });
    test::grab(dialog, "custom-settings");

    EXPECT_TRUE(child<QRadioButton>(dialog, "original")->isChecked());
    auto* swatch = child<ColourSwatch>(dialog, "backgroundColour");
    EXPECT_FALSE(swatch->isEnabled());
    EXPECT_EQ(swatch->colour(), 0x112233u);
    EXPECT_EQ(child<ColourSwatch>(dialog, "subTopicColour")->colour(), 0x445566u);
    EXPECT_FALSE(child<QPushButton>(dialog, "browse")->isEnabled());

    // The picture kind without a picture keeps the dialog open.
    child<QRadioButton>(dialog, "pictureKind")->click();
    EXPECT_TRUE(child<QLineEdit>(dialog, "pictureName")->isEnabled());
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    child<QPushButton>(dialog, "browse")->click();
    EXPECT_EQ(browsed, 1);
    EXPECT_EQ(child<QLineEdit>(dialog, "pictureName")->text(), "sea.jpg");

    child<QRadioButton>(dialog, "colourKind")->click();
    swatch->click();
    EXPECT_EQ(swatch->colour(), 0x0000FFu);
    child<ColourSwatch>(dialog, "headingColour")->click();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    logic.apply();
    EXPECT_EQ(project.backgroundMode, 1);
    EXPECT_EQ(project.backgroundColour, 0x0000FFu);
    EXPECT_EQ(project.headingFont.colour, 0x0000FFu);
    EXPECT_EQ(project.headingFontSet, 1);
}

TEST(BackgroundPictureDialog, ShowsThePicturesSizeAndDimensions)
{
    EXPECT_EQ(qtFileFilters("Image File (*.gif;*.jpg)|*.gif;*.jpg||"), QStringList{"Image File (*.gif *.jpg)"});

    test::TestInstallation install(false);
    const std::string path = install.folder() + "wide.bmp";
    test::writeBmp24(path, 64, 16, [](int x, int) { return test::Rgb8{std::uint8_t(x * 4), 90, 200}; });
    FileDialogOptions options;
    options.title = "Background";
    options.filter = "Image File (*.gif;*.jpg)|*.gif;*.jpg||";
    options.startFolder = install.folder();
    BackgroundPictureDialog dialog(options, true, nullptr);
    dialog.showPicture(QString::fromStdString(path));
    test::grab(dialog, "background-picture");
    EXPECT_EQ(child<QLabel>(dialog, "dimensions")->text(), "Dimensions: 64 x 16");
    EXPECT_EQ(child<QLabel>(dialog, "fileSize")->text(), "File size: 3126 bytes");
    EXPECT_TRUE(child<QCheckBox>(dialog, "tile")->isChecked());
    EXPECT_FALSE(child<QLabel>(dialog, "picture")->pixmap().isNull());
    EXPECT_FALSE(dialog.choice());
}

} // namespace
} // namespace pavonia
