#pragma once

#include <QString>
#include <QStringList>

namespace zentora {

class CImageGallery;
class CZentoraDlg;

// What the picture and sound commands of the main window share; each acts
// on one gallery, shown under the tab `page`.

// Asks for files (dialog title and Qt filter), copies each into the working
// folder and lists the copy; then shows the gallery's page, lays it out and
// marks the project modified. A file whose name is taken in the working
// folder by other bytes is copied only if the user agrees to replace them.
// A file that cannot be brought in (failed copy,
// a name the project file cannot hold) is not listed: an entry pointing at
// nothing would compile silently as an empty picture or a missing sound. One
// message then names them all.
void AddFilesToGallery(CZentoraDlg& window, CImageGallery& gallery, int page, const QString& title,
                       const QString& filter);

// Removes the selected entry (its file stays) and marks the project
// modified; with no selection nothing happens.
void DeleteSelectedEntry(CZentoraDlg& window, CImageGallery& gallery);

// Gives both galleries the window's list actions for their keys and context
// menus, and the sound gallery its look.
void ConnectGalleryCommands(CZentoraDlg& window);

// Asks the question made for the number of entries and on Yes empties the
// list (the files stay). The project is marked modified whatever the
// answer; an empty list asks nothing and marks nothing.
void DeleteAllEntries(CZentoraDlg& window, CImageGallery& gallery, QString (*question)(int count));

// heading, then one line per failure; a long list is cut short with a count
// of the rest, so the box still fits on the screen.
QString FailureListMessage(const QString& heading, const QStringList& failures);

}  // namespace zentora
