#pragma once

#include <QString>

#include <sys/types.h>

namespace platform
{

class WindowSystemPlugin;

// Whether the file at `path` may run inside the note of `user`: the file and every folder above
// it are owned by root or by `user`, and none of them can be changed by anyone else. A folder
// above the file's own that others may add names to but where only an entry's owner can remove
// or rename it (a root-owned folder with the sticky bit, as /tmp) counts as unchanged: what lies
// beneath it still has to pass the rule. Symbolic links are followed first.
bool trustedFile(const QString &path, uid_t user);

// The backend module at `path`, when it is trusted and is a module of this version; null
// otherwise. Nothing of a module that is refused is loaded.
WindowSystemPlugin *loadModule(const QString &path);

// The layer-shell module, from the one file name it has: beside the program, else in the
// folder it is installed in, fixed when the program was built.
WindowSystemPlugin *loadLayerShellModule();

} // namespace platform
