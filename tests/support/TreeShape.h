#pragma once
// The project tree as one line of text, for tests that compare orders:
// "Session 1[a,b] Session 2[c]".
#include "project/ProjectTree.h"

#include <string>

namespace pavonia::test {

inline std::string treeShape(const pavonia::ProjectTree& tree)
{
    std::string out;
    for (const pavonia::TreeItem* s : tree.sessions()) {
        out += (out.empty() ? "" : " ") + s->text() + "[";
        for (std::size_t i = 0; i < s->childCount(); ++i)
            out += (i ? "," : "") + s->child(i)->text();
        out += "]";
    }
    return out;
}

} // namespace pavonia::test
