#include "app/picture_commands.h"

#include <QGuiApplication>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/gallery_commands.h"
#include "app/zentora_dlg.h"
#include "base/path_text.h"
#include "base/status_sink.h"
#include "base/translation.h"
#include "image/adjust_image_dlg.h"
#include "image/image_export.h"
#include "image/image_gallery.h"
#include "image/picture_adjust.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

namespace zentora {

namespace {

// The pointer shows that the window is busy while pictures are decoded and
// written on the interface thread.
class CBusyCursor {
 public:
  CBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~CBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  CBusyCursor(const CBusyCursor&) = delete;
  CBusyCursor& operator=(const CBusyCursor&) = delete;
};

// Passes every call on to the output list and keeps the last line, which is
// the reason when the compile fails.
class CLastLineSink final : public StatusSink {
 public:
  explicit CLastLineSink(StatusSink& target) : target_(target) {}

  void ClearLines() override { target_.ClearLines(); }
  void AppendLine(std::string_view line) override {
    lastLine_ = line;
    target_.AppendLine(line);
  }
  void SetProgress(int position) override { target_.SetProgress(position); }
  void ShowProgress(bool visible) override { target_.ShowProgress(visible); }

  const std::string& LastLine() const { return lastLine_; }

 private:
  StatusSink& target_;
  std::string lastLine_;
};

QString ExportedLine(const std::filesystem::path& file) {
  return TrQ("app", "已导出：%1").arg(TextFromPath(file));
}

// Adjusting rewrites the files in place, so the user confirms it knowing
// which pictures; No is what Enter answers.
bool ConfirmAdjustment(CZentoraDlg& window, const std::vector<std::filesystem::path>& pictures) {
  const QString question =
      pictures.size() == 1
          ? TrQ("app", "调整将改写图片“%1”的文件，无法撤销。是否继续？")
                .arg(TextFromPath(pictures.front().filename()))
          : TrQ("app", "调整将改写这%1张图片的文件，无法撤销。是否继续？").arg(pictures.size());
  return ShowAppMessage(&window, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::NoIcon,
                        QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

void AddPictures(CZentoraDlg& window) {
  AddFilesToGallery(window, window.PictureGallery(), CZentoraDlg::kPicturePage,
                    TrQ("app", "添加图片"),
                    TrQ("app", "图片文件(*.bmp *.jpg *.jpeg *.gif *.png *.tif)"));
}

void DeleteSelectedPicture(CZentoraDlg& window) {
  DeleteSelectedEntry(window, window.PictureGallery());
}

void DeleteAllPictures(CZentoraDlg& window) {
  DeleteAllEntries(window, window.PictureGallery(),
                   [](int count) { return TrNQ("app", "确认删除%n张图片?", nullptr, count); });
}

void ExportImages(CZentoraDlg& window) {
  window.DoDataExchange(true);
  FileDialogRequest request;
  request.kind = FileDialogRequest::Kind::SaveFile;
  request.title = TrQ("app", "导出图片");
  request.directory = TextFromPath(window.GetWorkingFolder());
  request.fileName = QStringLiteral("output");
  request.filter = TrQ("app", "二进制文件(*.bin);;C头文件(*.h)");
  request.filterSuffixes = {QStringLiteral("bin"), QStringLiteral("h")};
  request.confirmOverwrite = true;
  const QStringList chosen = AskFileDialog(&window, request);
  if (chosen.isEmpty()) {
    return;
  }
  CLastLineSink sink(window.OutputSink());
  ExportOutcome outcome;
  {
    const CBusyCursor busy;
    outcome = ExportPictures(window.PictureGallery().Items().Snapshot(),
                             window.Project().ProjectFilePath(), window.Settings(),
                             PathFromText(chosen.first()), sink);
  }
  if (!outcome.refused) {
    ShowAppMessage(&window, QString::fromStdString(outcome.refused.message()));
  } else if (!outcome.headerWritten) {
    ShowAppMessage(&window, QString::fromStdString(outcome.headerWritten.message()));
  } else if (outcome.compiled == CompileOutcome::Failed) {
    ShowAppMessage(&window, QString::fromStdString(sink.LastLine()));
  } else {
    const std::filesystem::path written = PathFromText(chosen.first());
    window.AppendOutputLine(ExportedLine(written));
    if (outcome.form == ExportForm::Binary) {
      window.AppendOutputLine(ExportedLine(ExportIndexPath(written)));
    }
  }
}

void AdjustImages(CZentoraDlg& window) {
  CImageGallery& gallery = window.PictureGallery();
  const int noted = gallery.Items().GetCount();
  CAdjustImageDlg dialog(&window);
  if (RunModalDialog(dialog) != QDialog::Accepted) {
    return;
  }
  std::vector<std::filesystem::path> pictures;
  if (dialog.convertAll) {
    for (int i = 0; i < std::min(noted, gallery.Items().GetCount()); ++i) {
      pictures.push_back(gallery.Items().GetPath(i));
    }
  } else if (gallery.Items().GetSelected() >= 0) {
    pictures.push_back(gallery.Items().GetPath(gallery.Items().GetSelected()));
  }
  if (!pictures.empty() && !ConfirmAdjustment(window, pictures)) {
    return;
  }
  QStringList failures;
  {
    const CBusyCursor busy;
    for (const std::filesystem::path& picture : pictures) {
      const Result<AdjustOutcome> adjusted =
          AdjustPicture(picture, dialog.width, dialog.height,
                        static_cast<AdjustMethod>(dialog.method), dialog.keepAspectRatio);
      if (adjusted && adjusted.value() == AdjustOutcome::Rewritten) {
        window.AppendOutputLine(TrQ("app", "已调整：%1").arg(TextFromPath(picture)));
      } else if (!adjusted) {
        failures << QString::fromStdString(adjusted.error());
      }
    }
  }
  // The thumbnails notice the rewritten files by their new stamps.
  gallery.viewport()->update();
  window.Project().SetModified();
  if (!failures.isEmpty()) {
    ShowAppMessage(&window, FailureListMessage(TrQ("app", "以下图片未能调整："), failures));
  }
}

}  // namespace zentora
