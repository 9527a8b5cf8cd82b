#pragma once

#include "toolkit/widgets/open_dialog.h"

// The file-save dialog component: the same properties, asking for a name to
// save under. Without ofOverwritePrompt it does not ask before replacing.
class TSaveDialog : public TOpenDialog
{
    Q_OBJECT
  public:
    explicit TSaveDialog(QObject* Parent = nullptr);

    bool Execute() override;
};
