#pragma once

#include <QString>

#include <functional>

namespace zentora {

// What the desktop is asked to do for the program: open a file, a folder or
// an address in the user's default application, or open a picture in a
// picture editor.
enum class ShellVerb { Open, EditPicture };

// Hands the request to the desktop; false when it could not be started.
// Nothing is shown to the user either way.
bool PerformShellRequest(ShellVerb verb, const QString& target);

// The picture editor: $ZENTORA_PICTURE_EDITOR when set, else the first of
// kolourpaint, pinta and gimp found on PATH; empty for the default
// application.
QString PictureEditorProgram();

// Tests record requests instead of starting programs.
using ShellRecorder = std::function<void(ShellVerb, const QString&)>;
void SetShellRecorder(ShellRecorder recorder);

}  // namespace zentora
