#pragma once

#include <QString>

namespace platform {

// What the program asks of the desktop: opening documents and addresses with
// their default programs, and showing files in the file manager. One implementation per system;
// tests put their own in its place where a real desktop cannot be reached.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file with its default program, or an address in the browser.
    virtual bool Open(const QString& pathOrUrl) = 0;
    // Shows a file selected in the file manager; this plain form opens its folder.
    virtual bool ShowInFileManager(const QString& path);
};

Shell& SystemShell();

} // namespace platform
