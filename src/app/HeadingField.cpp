#include "app/HeadingField.h"

namespace pavonia {

void HeadingField::changed(const std::string& text)
{
    if (!firstSeen_) {
        firstSeen_ = true;
        return;
    }
    // Compared exactly: a change of letter case is a change the user made.
    if (text == document_.settings().headingText)
        return;
    document_.settings().headingText = text;
    document_.setDirty(true);
}

} // namespace pavonia
