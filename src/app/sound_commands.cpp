#include "app/sound_commands.h"

#include "app/gallery_commands.h"
#include "app/zentora_dlg.h"
#include "base/translation.h"

namespace zentora {

void AddSounds(CZentoraDlg& window) {
  AddFilesToGallery(window, window.SoundGallery(), CZentoraDlg::kSoundPage, TrQ("app", "添加声音"),
                    TrQ("app", "声音文件(*.wav)"));
}

void DeleteSelectedSound(CZentoraDlg& window) {
  DeleteSelectedEntry(window, window.SoundGallery());
}

void DeleteAllSounds(CZentoraDlg& window) {
  DeleteAllEntries(window, window.SoundGallery(), TrQ("app", "确认删除%1个声音文件?"));
}

}  // namespace zentora
