#pragma once
// The heading bar's edit field without its widget: every change of the
// field's text becomes the project's heading text and marks the project
// modified when it differs. The first notification after the window is
// created comes from the window filling the field and is ignored.
#include "project/ProjectDocument.h"

#include <string>

namespace pavonia {

class HeadingField {
public:
    // The most characters the field takes.
    static constexpr int kMaxLength = 128;

    explicit HeadingField(ProjectDocument& document) : document_(document) {}

    // The field's text changed to `text`.
    void changed(const std::string& text);
    // What the field shows after a project was opened (its heading) or a new
    // one created (empty).
    std::string text() const { return document_.settings().headingText; }

private:
    ProjectDocument& document_;
    bool firstSeen_ = false;
};

} // namespace pavonia
