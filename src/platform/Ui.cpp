#include "platform/Ui.h"

#include "platform/StringTable.h"

namespace pavonia {

Answer showMessage(Ui& ui, const std::string& text, Buttons buttons)
{
    return ui.messageBox(text, StringTable::text(str::AppTitle), buttons);
}

Answer showFailure(Ui& ui, const Failure& failure, Buttons buttons)
{
    if (failure.caption != 0)
        return ui.messageBox(failure.text(), StringTable::text(failure.caption), buttons);
    return showMessage(ui, failure.text(), buttons);
}

} // namespace pavonia
