// The voice filter dialog and "Add Voice Template" as widgets over their
// logic, with the voice engine over a buffer sound device.
#include "voice/widgets/VoiceFilterDialog.h"

#include "OffscreenApplication.h"
#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "VoiceTestSounds.h"
#include "platform/StringTable.h"
#include "voice/BufferAudioDevice.h"
#include "voice/VoiceEngine.h"
#include "voice/widgets/AddVoiceTemplateDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

PAVONIA_OFFSCREEN_APPLICATION;

namespace pavonia {
namespace {

// A left click as the user makes it: press and release inside the widget.
void click(QWidget* widget)
{
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

using Logic = VoiceFilterDialogLogic;

struct FilterFixture : ::testing::Test {
    FilterFixture() { engine.RestoreData(test::voicedBursts(3000)); }

    QPushButton* button(VoiceFilterDialog& dialog, const char* name)
    {
        return dialog.findChild<QPushButton*>(name);
    }

    test::TestInstallation inst{false};
    test::ScriptedUi ui;
    BufferAudioDevice device;
    VoiceEngine engine{device, inst.folder()};
};

TEST_F(FilterFixture, MovingASliderOnNoneMakesACustomTemplateThatAddSavesUnderAName)
{
    Logic logic(inst.folder(), engine, ui);
    logic.open();
    VoiceFilterDialog dialog(logic);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle().toStdString(), StringTable::text(str::VoiceFilterCaption));
    EXPECT_EQ(dialog.templateList()->count(), 1);
    EXPECT_EQ(dialog.slider(Logic::Pitch)->value(), 50);
    EXPECT_EQ(dialog.number(Logic::Echo)->text(), "0");
    EXPECT_FALSE(button(dialog, "del")->isEnabled());

    dialog.slider(Logic::Echo)->setValue(70);
    EXPECT_EQ(dialog.number(Logic::Echo)->text(), "70");
    ASSERT_EQ(dialog.templateList()->count(), 2);
    EXPECT_EQ(dialog.templateList()->currentText(), "Custom-1");
    EXPECT_TRUE(button(dialog, "add")->isEnabled());
    EXPECT_FALSE(button(dialog, "del")->isEnabled());
    click(dialog.checkBox(Logic::Echo));
    EXPECT_TRUE(logic.checked(Logic::Echo));

    // "ADD" through dialog 170: a name with a refused character keeps it
    // open; a good name saves the template and selects it.
    dialog.setAddDialogRunner([](AddVoiceTemplateLogic& add) {
        AddVoiceTemplateDialog addDialog(add);
        QLineEdit* name = addDialog.nameField();
        EXPECT_EQ(name->text(), "Custom-1");
        name->setText("bad/name");
        addDialog.accept();
        EXPECT_NE(addDialog.result(), QDialog::Accepted);
        name->setText("  Echoes  ");
        addDialog.accept();
        return addDialog.result() == QDialog::Accepted;
    });
    click(button(dialog, "add"));
    ASSERT_EQ(dialog.templateList()->count(), 2);
    EXPECT_EQ(dialog.templateList()->currentText(), "Echoes");
    EXPECT_TRUE(button(dialog, "del")->isEnabled());
    EXPECT_FALSE(button(dialog, "add")->isEnabled());
    EXPECT_TRUE(std::filesystem::exists(inst.folder() + "voicefilter.ini"));

    // Choosing "none" in the list shows its values again.
    dialog.templateList()->setCurrentIndex(0);
    EXPECT_FALSE(dialog.checkBox(Logic::Echo)->isChecked());
    EXPECT_EQ(dialog.slider(Logic::Echo)->value(), 0);
}

TEST_F(FilterFixture, TestPlaysAPreviewWithTheControlsClosedAndCancelLeavesTheVoiceAsItWas)
{
    const PcmAudio before = engine.ReserveData();
    Logic logic(inst.folder(), engine, ui);
    logic.open();
    VoiceFilterDialog dialog(logic);
    dialog.show();
    click(dialog.checkBox(Logic::Robot));
    dialog.slider(Logic::Robot)->setValue(90);

    QPushButton* test = dialog.testButton();
    EXPECT_EQ(test->text().toStdString(), StringTable::text(str::VoiceFilterTest));
    click(test);
    EXPECT_EQ(test->text().toStdString(), StringTable::text(str::VoiceFilterStop));
    EXPECT_TRUE(engine.IsPlaySelection());
    EXPECT_NE(engine.ReserveData().samples, before.samples);
    for (const char* name : {"ok", "cancel", "add", "del"})
        EXPECT_FALSE(button(dialog, name)->isEnabled()) << name;
    EXPECT_FALSE(dialog.templateList()->isEnabled());
    EXPECT_FALSE(dialog.slider(Logic::Pitch)->isEnabled());

    // "Stop", then "Cancel".
    click(test);
    EXPECT_FALSE(engine.IsPlaySelection());
    EXPECT_EQ(test->text().toStdString(), StringTable::text(str::VoiceFilterTest));
    EXPECT_TRUE(button(dialog, "ok")->isEnabled());
    click(test);
    dialog.reject(); // closing while the preview plays is a "Cancel"
    EXPECT_TRUE(logic.closed());
    EXPECT_FALSE(logic.accepted());
    EXPECT_EQ(engine.ReserveData().samples, before.samples);
}

} // namespace
} // namespace pavonia
