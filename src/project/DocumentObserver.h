#pragma once
// Told when the document's state changes, so that the window title and the
// commands follow the document without polling. Calls come from the thread
// that changes the document (a load or save may run off the user-interface
// thread); a view hands them on to its own thread.
#include <string>

namespace pavonia {

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    // The unsaved-changes flag changed.
    virtual void dirtyChanged(bool /*dirty*/) {}
    // The busy flag changed: while set, the tree is being rebuilt.
    virtual void busyChanged(bool /*busy*/) {}
    // Editing allowed, voice import allowed or image import allowed changed.
    virtual void commandFlagsChanged() {}
    virtual void titleChanged(const std::string& /*title*/) {}
};

} // namespace pavonia
