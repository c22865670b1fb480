#include "platform/ConsoleUi.h"

#include <iostream>

namespace pavonia {

Answer ConsoleUi::messageBox(const std::string& text, const std::string& /*caption*/, Buttons buttons)
{
    messages_.push_back(text);
    if (echo_)
        std::cerr << text << '\n';
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        return Answer::Cancel;
    case Buttons::YesNo:
        return Answer::No;
    }
    return Answer::Cancel;
}

} // namespace pavonia
