#include "ui/shell_dialogs.h"

#include <QDialog>
#include <QFileDialog>

#include <utility>

#include "ui/file_dialog_size.h"

namespace zentora {

namespace {

FileDialogResponder& FileResponder() {
  static FileDialogResponder responder;
  return responder;
}

ModalDialogResponder& ModalResponder() {
  static ModalDialogResponder responder;
  return responder;
}

QFileDialog::FileMode ModeOf(FileDialogRequest::Kind kind) {
  switch (kind) {
    case FileDialogRequest::Kind::OpenFile:
      return QFileDialog::ExistingFile;
    case FileDialogRequest::Kind::OpenFiles:
      return QFileDialog::ExistingFiles;
    case FileDialogRequest::Kind::SaveFile:
      return QFileDialog::AnyFile;
    case FileDialogRequest::Kind::Folder:
      return QFileDialog::Directory;
  }
  return QFileDialog::ExistingFile;
}

}  // namespace

void SetFileDialogResponder(FileDialogResponder responder) {
  FileResponder() = std::move(responder);
}

QStringList AskFileDialog(QWidget* parent, const FileDialogRequest& request) {
  if (FileResponder()) {
    return FileResponder()(request);
  }
  QFileDialog dialog(parent, request.title, request.directory, request.filter);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(ModeOf(request.kind));
  if (request.kind == FileDialogRequest::Kind::SaveFile) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  }
  if (request.kind == FileDialogRequest::Kind::Folder) {
    dialog.setOption(QFileDialog::ShowDirsOnly);
  }
  if (!request.defaultSuffix.isEmpty()) {
    dialog.setDefaultSuffix(request.defaultSuffix);
  }
  if (!request.filterSuffixes.isEmpty()) {
    dialog.setDefaultSuffix(request.filterSuffixes.first());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &request](const QString& filter) {
                       const qsizetype index = dialog.nameFilters().indexOf(filter);
                       if (index >= 0 && index < request.filterSuffixes.size()) {
                         dialog.setDefaultSuffix(request.filterSuffixes[index]);
                       }
                     });
  }
  if (!request.fileName.isEmpty()) {
    dialog.selectFile(request.fileName);
  }
  FitFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted) {
    return {};
  }
  return dialog.selectedFiles();
}

void SetModalDialogResponder(ModalDialogResponder responder) {
  ModalResponder() = std::move(responder);
}

int RunModalDialog(QDialog& dialog) {
  if (ModalResponder()) {
    return ModalResponder()(dialog);
  }
  return dialog.exec();
}

}  // namespace zentora
