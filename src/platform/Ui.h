#pragma once
// The user-facing prompts of the program. The core calls this interface; the
// Qt program shows real message boxes and file dialogs, the command line
// prints, and tests answer from a script.
#include "platform/Result.h"

#include <optional>
#include <string>
#include <vector>

namespace pavonia {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct FileDialogOptions {
    std::string title;
    std::string filter;            // "Description|*.ext||" as in the string table
    std::string defaultExtension;  // without the dot
    std::string startFolder;
    std::string fileName;
    int initialFilter = 1;         // the filter shown first, counted from 1
    bool multiple = false;
    bool mustExist = false;
    bool overwritePrompt = false;
    // Pictures are chosen: the program shows a preview of the one under the
    // cursor where it has a picture dialog.
    bool picturePreview = false;
};

class Ui {
public:
    virtual ~Ui() = default;
    // A message box captioned `caption`; returns the button pressed.
    virtual Answer messageBox(const std::string& text, const std::string& caption,
                              Buttons buttons) = 0;
    // The chosen paths, or nothing when cancelled.
    virtual std::optional<std::vector<std::string>> openFileDialog(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogOptions& options) = 0;
    // Long work runs under a wait cursor.
    virtual void setBusyCursor(bool /*busy*/) {}
};

// A message box captioned with the program's title: every message the
// program shows goes through here.
Answer showMessage(Ui& ui, const std::string& text, Buttons buttons = Buttons::Ok);
// The message of a failure, shown as showMessage does (under the failure's
// own caption when it has one).
Answer showFailure(Ui& ui, const Failure& failure, Buttons buttons = Buttons::Ok);

// Sets the wait cursor for the life of a scope.
class BusyCursor {
public:
    explicit BusyCursor(Ui& ui) : ui_(ui) { ui_.setBusyCursor(true); }
    ~BusyCursor() { ui_.setBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Ui& ui_;
};

} // namespace pavonia
