#pragma once
// A Ui for tests: records every message shown and answers prompts from a
// script (or with a fixed default answer).
#include "platform/Ui.h"

#include <deque>
#include <string>
#include <vector>

namespace pavonia::test {

class ScriptedUi final : public Ui {
public:
    struct Shown {
        std::string text;
        std::string caption;
        Buttons buttons;
    };

    Answer messageBox(const std::string& text, const std::string& caption, Buttons buttons) override
    {
        shown.push_back({text, caption, buttons});
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel:
            return Answer::Ok;
        case Buttons::YesNo:
        case Buttons::YesNoCancel:
            return Answer::Yes;
        }
        return Answer::Ok;
    }

    std::optional<std::vector<std::string>> openFileDialog(const FileDialogOptions& options) override
    {
        lastDialog = options;
        if (openAnswers.empty())
            return std::nullopt;
        auto a = openAnswers.front();
        openAnswers.pop_front();
        return a;
    }

    std::optional<std::string> saveFileDialog(const FileDialogOptions& options) override
    {
        lastDialog = options;
        if (saveAnswers.empty())
            return std::nullopt;
        auto a = saveAnswers.front();
        saveAnswers.pop_front();
        return a;
    }

    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const auto& s : shown)
            out.push_back(s.text);
        return out;
    }

    std::vector<Shown> shown;
    std::deque<Answer> answers;
    std::deque<std::optional<std::vector<std::string>>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    FileDialogOptions lastDialog;
};

} // namespace pavonia::test
