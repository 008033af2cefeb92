#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

namespace zentora {

// The file and folder pickers of the program. They are Qt's own dialogs, so
// they behave the same on every desktop; tests answer them through a
// responder instead of a person.
struct FileDialogRequest {
  enum class Kind { OpenFile, OpenFiles, SaveFile, Folder };
  Kind kind = Kind::OpenFile;
  QString title;
  QString directory;
  QString fileName;  // proposed name
  QString filter;    // Qt's form: "工程文件(*.zentoraprj)"
  QString defaultSuffix;
  // For a save dialog with several types: the suffix a name typed without
  // one gets under each filter, in the filters' order. It follows the type
  // the user selects, and the overwrite question sees the completed name.
  QStringList filterSuffixes;
  bool confirmOverwrite = true;
};

// The chosen paths; empty when the user cancelled.
QStringList AskFileDialog(QWidget* parent, const FileDialogRequest& request);

using FileDialogResponder = std::function<QStringList(const FileDialogRequest&)>;
void SetFileDialogResponder(FileDialogResponder responder);

// Runs a dialog modally; a responder installed by tests answers instead
// (it may fill the dialog's fields) and its result is returned.
int RunModalDialog(QDialog& dialog);

using ModalDialogResponder = std::function<int(QDialog&)>;
void SetModalDialogResponder(ModalDialogResponder responder);

}  // namespace zentora
