#pragma once

#include "imaging/codecs/heif_module_interface.h"

#include <QByteArray>
#include <QString>

// The optional module that reads HEIF and writes AVIF, loaded the first time
// a caller asks for it and kept for the rest of the process. Looked for in
// the folder LUMIVEX_HEIF_MODULE_DIR names when it is set (and only there),
// otherwise in the build tree when the program runs from it, then where an
// install puts it: found from the program's own folder (under any prefix),
// then under the prefix the build was configured for.

// The module's table, or nullptr with Reason set to the sentence the user
// reads.
const LumivexHeifModule* LoadHeifModule(QString* Reason = nullptr);

// The module's LumivexHeifGrow for a QByteArray: room at its end.
char* AppendToByteArray(void* Owner, size_t Size);
