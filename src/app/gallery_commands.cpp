#include "app/gallery_commands.h"

#include <QMessageBox>

#include <filesystem>

#include "app/sound_commands.h"
#include "app/zentora_dlg.h"
#include "base/path_text.h"
#include "base/translation.h"
#include "image/image_gallery.h"
#include "project/file_import.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

namespace zentora {

namespace {

constexpr qsizetype kMaxListedFailures = 15;

}  // namespace

QString FailureListMessage(const QString& heading, const QStringList& failures) {
  QStringList lines{heading};
  lines << failures.mid(0, kMaxListedFailures);
  if (failures.size() > kMaxListedFailures) {
    lines << TrQ("app", "……另有%1个").arg(failures.size() - kMaxListedFailures);
  }
  return lines.join(QLatin1Char('\n'));
}

void AddFilesToGallery(CZentoraDlg& window, CImageGallery& gallery, int page, const QString& title,
                       const QString& filter) {
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::OpenFiles;
  request.title = title;
  request.filter = filter;
  const QStringList chosen = AskFileDialog(&window, request);
  if (chosen.isEmpty()) {
    return;
  }
  const std::filesystem::path folder = window.GetWorkingFolder();
  QStringList failures;
  for (const QString& file : chosen) {
    const std::filesystem::path source = PathFromText(file);
    // Another file of this name would vanish under the copy, and the
    // entries that show it would silently show this one.
    const std::filesystem::path name = source.filename();
    if (IsStorableFileName(name) && WouldReplaceOtherFile(source, folder / name) &&
        ShowAppMessage(&window,
                       TrQ("app", "工程中已有同名文件“%1”，是否替换？").arg(TextFromPath(name)),
                       QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
      continue;
    }
    Result<std::filesystem::path> copy = ImportFileIntoFolder(source, folder);
    if (copy) {
      gallery.Items().Add(std::move(copy).value());
    } else {
      failures << QString::fromStdString(copy.error());
    }
  }
  window.ShowPage(page);
  gallery.Layout();
  window.Project().SetModified();
  if (!failures.isEmpty()) {
    ShowAppMessage(&window, FailureListMessage(TrQ("app", "以下文件未能加入工程："), failures));
  }
}

void DeleteSelectedEntry(CZentoraDlg& window, CImageGallery& gallery) {
  const int selected = gallery.Items().GetSelected();
  if (selected < 0) {
    return;
  }
  gallery.Items().Remove(selected);
  gallery.Layout();
  window.Project().SetModified();
}

void ConnectGalleryCommands(CZentoraDlg& window) {
  const auto action = [&window](int id) { return window.Action(id); };
  window.PictureGallery().SetCommands(
      {action(ID_PREVIEW_IMAGE),
       action(ID_DELETE_SELECTED_PICTURE),
       {action(IDC_ADD_PICTURES), nullptr, action(ID_PREVIEW_IMAGE), action(ID_MODULE_PREVIEW),
        action(ID_EDIT_IMAGE), action(ID_ADJUST_IMAGES), nullptr,
        action(ID_DELETE_SELECTED_PICTURE), action(ID_DELETE_ALL_PICTURES)}});
  // Enter has nothing to open for a sound: the window plays none.
  window.SoundGallery().SetCommands(
      {nullptr,
       action(ID_DELETE_SELECTED_SOUND),
       {action(IDC_ADD_SOUNDS), nullptr, action(ID_DELETE_SELECTED_SOUND),
        action(ID_DELETE_ALL_SOUNDS)}});
  ShowSoundDetails(window.SoundGallery());
}

void DeleteAllEntries(CZentoraDlg& window, CImageGallery& gallery, QString (*question)(int count)) {
  const int count = gallery.Items().GetCount();
  if (count == 0) {
    return;
  }
  // Emptying the list is the answer that loses work, so Enter keeps it.
  if (ShowAppMessage(&window, question(count), QMessageBox::Yes | QMessageBox::No,
                     QMessageBox::NoIcon, QMessageBox::No) == QMessageBox::Yes) {
    gallery.Items().RemoveAll();
    gallery.Layout();
  }
  window.Project().SetModified();
}

}  // namespace zentora
