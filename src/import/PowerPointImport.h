#pragma once
// A slide deck becomes slides: each slide of the deck is turned into a
// picture (by a SlideDeckConverter) in a fresh temporary folder, and each
// picture, in the deck's order, becomes a slide carrying it as its media.
// The folder is removed afterwards. Messages go through the document's Ui.
#include "import/SlideDeckConverter.h"
#include "project/ProjectDocument.h"
#include "project/TreeOperations.h"

#include <string>

namespace pavonia {

class PowerPointImport {
public:
    PowerPointImport(ProjectDocument& document, TreeOperations& operations, SlideDeckConverter& converter);

    // Imports the deck at `path` with ImportType `importType` (0: into the
    // selected session, 1: a new session per slide). Returns the tree item of
    // the last slide added, or nothing when none was added or the last add
    // was refused at the slide limit.
    TreeItem* ImportPowerPoint(const std::string& path, int importType);

    // Slides added by the last ImportPowerPoint.
    int slidesAdded() const { return added_; }

    // The base name of the pictures in `folder`, learnt from the file whose
    // name ends with "1.jpg" (without regard to case): its title without the
    // last character. Of several such files the shortest name wins (Slide1
    // before Slide11). "*" when there is none.
    static std::string learnBaseName(const std::string& folder);

private:
    void report(const DeckConversion& conversion, const std::string& path);

    ProjectDocument& document_;
    TreeOperations& operations_;
    SlideDeckConverter& converter_;
    int added_ = 0;
};

} // namespace pavonia
