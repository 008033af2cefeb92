#pragma once

#include <QListWidget>
#include <QString>

class QAction;

namespace zentora {

// The main window's output lines. A line too long for the list is shortened
// in the middle, where a path's least telling part is, and shows whole in its
// tooltip; lines can be selected and copied (Ctrl+C, or the context menu's
// "复制" and "全部复制"), as the clipboard's lines joined by '\n'.
class COutputList : public QListWidget {
  Q_OBJECT

 public:
  explicit COutputList(QWidget* parent = nullptr);

  // Adds a line at the end and scrolls to it.
  void AppendLine(const QString& line);

  // The selected lines in list order, or every line.
  QString SelectedText() const;
  QString AllText() const;

  // A row's text as painted for the list's present width.
  QString ShownText(int row) const;

 private:
  void BindActions();
  void OnCopy();
  void OnCopyAll();

  QAction* copyAction_;
  QAction* copyAllAction_;
};

}  // namespace zentora
