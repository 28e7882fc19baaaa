#pragma once

#include <QString>

namespace platform {
class Shell;
}

// Opening an address ("https:", "mailto:") or a file with the desktop, with a
// result in the shell's terms: a value above 32 on success, otherwise a shell
// error code that CLinkLabel::ErrorText explains.
inline constexpr int kOpenSucceeded = 33;
inline constexpr int kOpenFileNotFound = 2;
inline constexpr int kOpenNoAssociation = 31;

int OpenTarget(platform::Shell& shell, const QString& target);

// True for a result of OpenTarget that means the target was opened.
inline bool OpenSucceeded(int result) {
    return result > 32;
}
