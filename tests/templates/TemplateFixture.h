#pragma once
// A small template library in a throw-away installation, and helpers to add
// to it. Layout of the library the tests start from:
//   Pavonia.ini        four standard rows (two of value 800), two custom rows
//   Layout/            L0 and L2 (jpg + ini), L5.jpg without an ini
//   Style0/            sizes "640, 800 ,1024"; L0/800/Template.htm, L1/
//   Style2/            size "800x600"
//   style5/            lower-case folder, size 800
//   Style7/            no ui.jpg
//   stylec3/           custom style 1002, size 800
//   Special/Style4/    special style 4, size 1024, layout folder L3
//   Special/stylec1/   special custom style 1000, no SupportSize
#include "ScriptedUi.h"
#include "TestInstallation.h"
#include "templates/TemplateLibrary.h"

#include <string>

namespace pavonia::test {

class TemplateFixture {
public:
    TemplateFixture() : install(false), library(install.folder(), ui) { build(); }

    // Writes a file under the template root and returns its path.
    std::string add(const std::string& relative, const std::string& content = "x") const
    {
        return install.writeFile("install/Template/" + relative, content);
    }
    std::string root() const { return install.folder() + "Template/"; }
    void style(const std::string& folder, const std::string& info, bool thumbnail = true) const
    {
        add(folder + "/info.ini", info);
        if (thumbnail)
            add(folder + "/ui.jpg");
    }

    TestInstallation install;
    ScriptedUi ui;
    TemplateLibrary library;

private:
    void build() const
    {
        add("Pavonia.ini", "[Global]\nTempSizeCount=3\nCustomCount=1\n"
                           "[TempSize]\nTemp0= 640 x 480 , 640\nTemp1=800 x 600 ,800\n"
                           "Temp2=Special,-1\nTemp3=Wide, 800 \n"
                           "[Custom]\nCustom0=Custom,1\nCustom1=Special custom,-1\n");
        add("Layout/L0.jpg");
        add("Layout/L0.ini", "[Layout]\nDescription=Classic\n");
        add("Layout/L2.jpg");
        add("Layout/L2.ini", "[Layout]\nDescription=Wide\n[Template]\nAutoPlay=0\n[Layer]\nEffectLayer=0\n");
        add("Layout/L5.jpg");
        style("Style0", "[Style]\nDescription=Plain\nSupportSize=640, 800 ,1024\n");
        add("Style0/L0/800/Template.htm", "<html></html>");
        add("Style0/L1/Preview.jpg");
        style("Style2", "[Style]\nDescription=Odd\nSupportSize=800x600\n");
        style("style5", "[Style]\nDescription=Lower\nSupportSize=800\n");
        style("Style7", "[Style]\nDescription=No thumbnail\nSupportSize=800\n", false);
        style("stylec3", "[Style]\nDescription=Own\nSupportSize=800\n");
        style("Special/Style4", "[Style]\nDescription=Special four\nSupportSize=1024\n");
        add("Special/Style4/L3/1024/Template.htm");
        style("Special/stylec1", "[Style]\nDescription=Special own\n");
    }
};

} // namespace pavonia::test
