#pragma once

#include <QString>

#include <functional>

#include "base/result.h"

namespace zentora {

// What the desktop is asked to do for the program: open a file, a folder or
// an address in the user's default application, or open a picture in a
// picture editor.
enum class ShellVerb { Open, EditPicture };

// Hands the request to the desktop. A failure says why in the user's words:
// the opener or editor could not be started, or the desktop has no program
// for the target. The caller shows it; nothing is shown here.
Status PerformShellRequest(ShellVerb verb, const QString& target);

// The picture editor: $ZENTORA_PICTURE_EDITOR when set, else the first of
// kolourpaint, pinta and gimp found on PATH; empty for the default
// application.
QString PictureEditorProgram();

// Tests answer requests instead of starting programs.
using ShellResponder = std::function<Status(ShellVerb, const QString&)>;
void SetShellResponder(ShellResponder responder);

}  // namespace zentora
