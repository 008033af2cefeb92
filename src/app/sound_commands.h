#pragma once

namespace zentora {

class CImageGallery;
class CZentoraDlg;

// The main window's sound commands, over its sound gallery; the files stay
// on disk whatever is removed from the list.

// "添加声音": WAV files chosen in a file dialog join the list as copies in
// the working folder; the sounds tab is shown.
void AddSounds(CZentoraDlg& window);
// "删除选中声音" and "删除所有声音".
void DeleteSelectedSound(CZentoraDlg& window);
void DeleteAllSounds(CZentoraDlg& window);

// Sounds show as a sound icon with their length and format under the name.
void ShowSoundDetails(CImageGallery& gallery);

}  // namespace zentora
