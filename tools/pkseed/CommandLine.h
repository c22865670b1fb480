#pragma once
// The player's command line as the pack carries it: the page, then the
// window's width and height ("Show.htm 800 600"). The stub splits it into
// arguments as a command line is split (blanks separate, double quotes
// group); the player joins them back, so that a page name with blanks in it
// arrives whole.
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia::seed {

// The player's exit status when it cannot show a window at all (no display,
// no web engine); the stub then opens the page in the web browser.
inline constexpr int kPlayerCannotStart = 3;

inline std::vector<std::string> splitCommandLine(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

struct PlayerArguments {
    std::string page;
    int width = 0;  // 0: not given
    int height = 0;
};

inline bool isWholeNumber(const std::string& word)
{
    return !word.empty() && word.size() <= 6 && word.find_first_not_of("0123456789") == std::string::npos;
}

// The page is every word but the last two when those are whole numbers (the
// width and height), else every word.
inline PlayerArguments playerArguments(const std::vector<std::string>& words)
{
    PlayerArguments arguments;
    std::size_t pageWords = words.size();
    if (words.size() >= 3 && isWholeNumber(words[words.size() - 2]) && isWholeNumber(words.back())) {
        arguments.width = std::atoi(words[words.size() - 2].c_str());
        arguments.height = std::atoi(words.back().c_str());
        pageWords -= 2;
    }
    for (std::size_t i = 0; i < pageWords; ++i)
        arguments.page += (i > 0 ? " " : "") + words[i];
    return arguments;
}

} // namespace pavonia::seed
