#include "app/sound_commands.h"

#include "app/zentora_dlg.h"
#include "app/gallery_commands.h"

namespace zentora {

void AddSounds(CZentoraDlg& window) {
  AddFilesToGallery(window, window.SoundGallery(), CZentoraDlg::kSoundPage,
                    QStringLiteral("添加声音"), QStringLiteral("声音文件(*.wav)"));
}

void DeleteSelectedSound(CZentoraDlg& window) {
  DeleteSelectedEntry(window, window.SoundGallery());
}

void DeleteAllSounds(CZentoraDlg& window) {
  DeleteAllEntries(window, window.SoundGallery(), QStringLiteral("确认删除%1个声音文件?"));
}

}  // namespace zentora
