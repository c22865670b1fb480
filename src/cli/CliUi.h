#pragma once
// The Ui of the command line: messages are collected (and, unless asked to
// keep them, printed to stderr); prompts take the answer that keeps the
// user's data; there are no file dialogs.
#include "platform/Ui.h"

#include <string>
#include <vector>

namespace pavonia::cli {

class CliUi final : public Ui {
public:
    explicit CliUi(bool echoToStderr) : echo_(echoToStderr) {}

    Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons) override;
    std::optional<std::vector<std::string>> openFileDialog(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> saveFileDialog(const FileDialogOptions&) override { return std::nullopt; }

    const std::vector<std::string>& messages() const { return messages_; }

private:
    bool echo_;
    std::vector<std::string> messages_;
};

} // namespace pavonia::cli
