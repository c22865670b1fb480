// Work that must grow in step with its input, measured at n and at 4n in the
// same run: loading a project of many empty sessions, and converting a text
// of many tags to HTML. Linear work takes about 4 times as long for 4 times
// the input; a step that is quadratic takes about 16 times as long.
#include "BenchProject.h"
#include "BenchSupport.h"
#include "project/ProjectFile.h"
#include "publish/TextToHtml.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace pavonia;
using namespace pavonia::bench;

namespace {

constexpr double kGoal = 6.0; // for 4 times the input: linear is 4, quadratic 16

// Saves a project of `sessions` empty sessions at `path`.
void writeProject(const BenchFolders& folders, int sessions, const std::string& path)
{
    BenchProject core{folders.install, folders.temp};
    TreeItem* last = core.document.tree().sessions().back();
    for (int i = 1; i < sessions; ++i)
        last = core.operations.AddSession(last);
    if (!SaveProject(core.document, path))
        std::abort();
}

double loadSeconds(const BenchFolders& folders, const std::string& path)
{
    BenchProject core{folders.install, folders.temp};
    return bestSeconds(3, [&] {
        if (!LoadProject(core.document, core.operations, path))
            std::abort();
    });
}

// A description of `tags` short tags with text between them.
std::string taggedText(int tags)
{
    std::string text;
    for (int i = 0; i < tags; ++i)
        text += "word <b>bold</b> & \"more\"\n";
    return text;
}

double convertSeconds(const std::string& text)
{
    const EntityTable table = makeEntityTable();
    std::size_t size = 0;
    const double seconds = bestSeconds(3, [&] { size += TextToHtml(text, table).size(); });
    if (size == 0)
        std::abort();
    return seconds;
}

void report(const char* what, int n, double small, double large)
{
    const double ratio = large / small;
    std::printf("%s: n = %d %.3f s, 4n = %.3f s, ratio %.2f (goal <= %.1f, linear 4)%s\n", what, n, small, large,
                ratio, kGoal, ratio <= kGoal ? "" : "  NOT LINEAR");
}

} // namespace

int main(int argc, char** argv)
{
    const std::string installData = argc > 1 ? argv[1] : PAVONIA_BENCH_DATA_DIR;
    const auto folders = BenchFolders::make("pavonia-bench-scaling", installData);
    if (!folders)
        return 1;

    const int sessions = 20000;
    writeProject(*folders, sessions, folders->root + "small.pvp");
    writeProject(*folders, 4 * sessions, folders->root + "large.pvp");
    report("project load (empty sessions)", sessions, loadSeconds(*folders, folders->root + "small.pvp"),
           loadSeconds(*folders, folders->root + "large.pvp"));

    const int tags = 100000;
    report("TextToHtml (tags)", 2 * tags, convertSeconds(taggedText(tags)), convertSeconds(taggedText(4 * tags)));

    folders->remove();
    return 0;
}
