#pragma once

#include <QString>

namespace platform {

// What the program asks of the desktop: opening documents and addresses with
// their default programs. One implementation per system; tests put their own
// in its place where a real desktop cannot be reached.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file with its default program, or an address in the browser.
    virtual bool Open(const QString& pathOrUrl) = 0;
    // Shows a file selected in the file manager; where no file manager takes that
    // request, opens the file's folder instead. Returns at once.
    virtual void ShowInFileManager(const QString& path) = 0;
};

Shell& SystemShell();

} // namespace platform
