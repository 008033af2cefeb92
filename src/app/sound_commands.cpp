#include "app/sound_commands.h"

#include <QIcon>
#include <QStyle>

#include <filesystem>

#include "app/gallery_commands.h"
#include "app/zentora_dlg.h"
#include "base/translation.h"
#include "image/image_gallery.h"
#include "sound/wave_description.h"

namespace zentora {

void AddSounds(CZentoraDlg& window) {
  AddFilesToGallery(window, window.SoundGallery(), CZentoraDlg::kSoundPage, TrQ("app", "添加声音"),
                    TrQ("app", "声音文件(*.wav)"));
}

void DeleteSelectedSound(CZentoraDlg& window) {
  DeleteSelectedEntry(window, window.SoundGallery());
}

void DeleteAllSounds(CZentoraDlg& window) {
  DeleteAllEntries(window, window.SoundGallery(),
                   [](int count) { return TrNQ("app", "确认删除%n个声音文件?", nullptr, count); });
}

void ShowSoundDetails(CImageGallery& gallery) {
  gallery.SetFileLook(
      QIcon::fromTheme(QStringLiteral("audio-x-generic"),
                       gallery.style()->standardIcon(QStyle::SP_MediaVolume)),
      [](const std::filesystem::path& path) { return QString::fromStdString(DescribeWave(path)); });
}

}  // namespace zentora
