#pragma once

namespace zentora {

class CZentoraDlg;

// The main window's picture commands, over its picture gallery.

// "添加图片": pictures chosen in a file dialog join the list as copies in
// the working folder; the pictures tab is shown.
void AddPictures(CZentoraDlg& window);
// "删除选中图片" and "删除所有图片"; the files stay on disk.
void DeleteSelectedPicture(CZentoraDlg& window);
void DeleteAllPictures(CZentoraDlg& window);

// "导出图片": the pictures as the compiler's data file with its index, or as
// a C header, by the extension of the name chosen in a save dialog. A file
// that cannot be written is reported in a message.
void ExportImages(CZentoraDlg& window);

// "调整图片...": asks for a size and method, then rewrites the selected
// picture, or every picture, in place. Pictures that could not be adjusted
// are named in one message; the project is marked modified either way.
void AdjustImages(CZentoraDlg& window);

}  // namespace zentora
