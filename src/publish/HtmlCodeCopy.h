#pragma once
// The logic of the "Html Code Copy" dialog: embedding the presentation in a
// page the user already has. The presentation is published beside that page
// into a data folder of its own ("index_PVData/" for "index.htm") with a
// companion page ("index_PVData.htm"), and the user gets an inline-frame
// element to paste into the page. The page itself is never opened or changed.
// The dialog widget shows the fields and forwards the button presses.
#include "publish/Publisher.h"

#include <string>

namespace pavonia {

class HtmlCodeCopy {
public:
    explicit HtmlCodeCopy(Publisher& publisher, ProjectDocument& document);

    // "&Select": asks for the page with the open-file dialog (starting in the
    // remembered HTML folder) and takes it; false when cancelled or refused.
    bool selectPage();
    // Takes `pagePath` as the picked page: its extension must be one of the
    // filter's, else "This file format is unsupport. ..." is shown and
    // nothing changes. The folder of an ".htm" page is remembered for the
    // next time.
    bool pickPage(const std::string& pagePath);
    // "&Process": publishes next to the picked page and forms the code; false
    // when nothing was picked or publishing failed (it told why).
    bool process();

    const std::string& folder() const { return folder_; }     // the folder box, ending with "/"
    const std::string& fileName() const { return fileName_; } // the picked page's name
    const std::string& code() const { return code_; }         // the code box
    bool canProcess() const { return !fileName_.empty(); }
    bool canCopy() const { return !code_.empty(); }

    // The data folder's name for a page: its name without extension and
    // "_PVData".
    static std::string dataFolderName(const std::string& pageFileName);
    // The inline-frame element for a companion page and a background layer.
    static std::string inlineFrame(int height, int width, const std::string& companionPage);

private:
    Publisher& publisher_;
    ProjectDocument& document_;
    std::string folder_;
    std::string fileName_;
    std::string code_;
};

// The "Slide Preview" command: publishes onto the shelf of previews starting at
// the selected slide and opens the page in the browser when the publisher
// has one. False when publishing failed (it told why).
bool PreviewInBrowser(Publisher& publisher);

} // namespace pavonia
