#pragma once
// The QApplication of a widget test program, on the offscreen platform (no
// display needed), and a way to look at a widget as a user would: with
// PAVONIA_WIDGET_GRABS naming a folder, grab() writes the widget there as a
// PNG.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace pavonia::test {

class OffscreenApplication : public ::testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "widget_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    // The application goes before the program's static objects do.
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

inline QImage grab(QWidget& widget, const QString& name)
{
    // The size the widget opens with: its own when it was given one.
    if (!widget.testAttribute(Qt::WA_Resized))
        widget.adjustSize();
    const QImage image = widget.grab().toImage();
    const QString folder = qEnvironmentVariable("PAVONIA_WIDGET_GRABS");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(folder + "/" + name + ".png");
    return image;
}

} // namespace pavonia::test

// Registered once per test program.
#define PAVONIA_OFFSCREEN_APPLICATION                                                                       \
    static ::testing::Environment* const pavoniaOffscreenApplication =                                      \
        ::testing::AddGlobalTestEnvironment(new ::pavonia::test::OffscreenApplication)
