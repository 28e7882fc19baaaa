#pragma once

#include <QString>

// Reads a Windows shortcut (".lnk", the shell-link binary format) and gives the
// local path of its target: the link information's local base path followed by
// its common path suffix, from the Unicode fields when the link has them. False
// for a file that is no shell link, a damaged one (any size or offset pointing
// outside the file or its structure) and a link without a local path.
bool ResolveShortcut(const QString& shortcutPath, QString* target);
