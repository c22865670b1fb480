#pragma once
// The program's prompts: message boxes and file dialogs of Qt, over the
// window that owns them.
#include "platform/Ui.h"

#include <QString>

class QWidget;

namespace pavonia {

class QtUi final : public Ui {
public:
    explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons) override;
    std::optional<std::vector<std::string>> openFileDialog(const FileDialogOptions& options) override;
    std::optional<std::string> saveFileDialog(const FileDialogOptions& options) override;
    void setBusyCursor(bool busy) override;

    // "Description|*.a;*.b|Other|*.c||" as the string table writes filters,
    // in Qt's form: "Description (*.a *.b);;Other (*.c)".
    static QString qtFilter(const std::string& filter);

    // The arrow cursor for the life of a scope: a dialog or message box
    // shown while long work keeps the wait cursor up takes input.
    class NormalCursor {
    public:
        NormalCursor();
        ~NormalCursor();
        NormalCursor(const NormalCursor&) = delete;
        NormalCursor& operator=(const NormalCursor&) = delete;
    };

private:
    QWidget* parent_;
    int busyDepth_ = 0;
};

} // namespace pavonia
