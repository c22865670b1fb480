#pragma once
// A Ui without a display, for the command line and the build's tools:
// messages are collected (and, when asked, printed to stderr); prompts take
// the answer that keeps the user's data; there are no file dialogs.
#include "platform/Ui.h"

#include <string>
#include <vector>

namespace pavonia {

class ConsoleUi final : public Ui {
public:
    explicit ConsoleUi(bool echoToStderr) : echo_(echoToStderr) {}

    Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons) override;
    std::optional<std::vector<std::string>> openFileDialog(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> saveFileDialog(const FileDialogOptions&) override { return std::nullopt; }

    const std::vector<std::string>& messages() const { return messages_; }
    void clearMessages() { messages_.clear(); }

private:
    bool echo_;
    std::vector<std::string> messages_;
};

} // namespace pavonia
