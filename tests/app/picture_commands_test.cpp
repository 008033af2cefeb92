// The adjust and export commands of the main window and the adjust dialog.
#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "app/zentora_dlg.h"
#include "image/adjust_image_dlg.h"
#include "image/image_gallery.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

namespace zentora {

namespace {

namespace fs = std::filesystem;

QString Name(const fs::path& path) {
  return QString::fromStdString(path.string());
}

void SaveFilled(const fs::path& path, QSize size) {
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(Qt::red);
  QVERIFY(picture.save(Name(path)));
}

QSize SizeOf(const fs::path& path) {
  return QImageReader(Name(path)).size();
}

// What the dialog shows: method, width, height, keep ratio, convert all.
QString Shown(CAdjustImageDlg& dialog) {
  using Dlg = CAdjustImageDlg;
  return QStringLiteral("%1 %2 %3 %4 %5")
      .arg(FindControl<QRadioButton>(&dialog, Dlg::IDC_CROP)->isChecked() ? "crop" : "scale")
      .arg(FindControl<QLineEdit>(&dialog, Dlg::IDC_WIDTH)->text())
      .arg(FindControl<QLineEdit>(&dialog, Dlg::IDC_HEIGHT)->text())
      .arg(FindControl<QCheckBox>(&dialog, Dlg::IDC_KEEP_ASPECT_RATIO)->isChecked())
      .arg(FindControl<QCheckBox>(&dialog, Dlg::IDC_CONVERT_ALL)->isChecked());
}

// Types into the dialog and presses OK, as a person would.
int Answer(CAdjustImageDlg& dialog, const QString& width, const QString& height, bool scale,
           bool convertAll) {
  using Dlg = CAdjustImageDlg;
  FindControl<QLineEdit>(&dialog, Dlg::IDC_WIDTH)->setText(width);
  FindControl<QLineEdit>(&dialog, Dlg::IDC_HEIGHT)->setText(height);
  FindControl<QRadioButton>(&dialog, scale ? Dlg::IDC_SCALE : Dlg::IDC_CROP)->setChecked(true);
  FindControl<QCheckBox>(&dialog, Dlg::IDC_CONVERT_ALL)->setChecked(convertAll);
  FindControl<QPushButton>(&dialog, IDOK_)->click();
  return dialog.result();
}

QStringList Lines(const CZentoraDlg& window) {
  QStringList lines;
  const auto* list = FindControl<QListWidget>(&window, IDC_OUTPUT_LIST);
  for (int i = 0; i < list->count(); ++i) {
    lines << list->item(i)->text();
  }
  return lines;
}

}  // namespace

class PictureCommandsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;
  QStringList messages_;
  // Boxes that ask are answered with answer_ and noted apart.
  QList<AppMessage> questions_;
  QMessageBox::StandardButton answer_ = QMessageBox::Yes;

  fs::path Root(const char* name) const { return fs::path(root_.filePath(name).toStdString()); }

 private Q_SLOTS:
  void init() {
    messages_.clear();
    questions_.clear();
    answer_ = QMessageBox::Yes;
    SetAppMessageResponder([this](const AppMessage& message) {
      if (message.buttons.testFlag(QMessageBox::Yes)) {
        questions_ << message;
        return answer_;
      }
      messages_ << message.text;
      return QMessageBox::Ok;
    });
  }

  void cleanup() {
    SetAppMessageResponder({});
    SetFileDialogResponder({});
    SetModalDialogResponder({});
  }

  void adjustDialogRefusesSizesOutsideTheRange() {
    CAdjustImageDlg dialog;
    const QString range = QStringLiteral("Enter an integer between 1 and 2000.");
    struct Typed {
      const char* width;
      const char* height;
      QString message;
    };
    for (const Typed& typed :
         {Typed{"0", "480", range}, Typed{"640", "2001", range}, Typed{"2001", "0", range},
          Typed{"abc", "480", "Enter an integer."}, Typed{"", "480", "Enter an integer."}}) {
      messages_.clear();
      QCOMPARE(Answer(dialog, typed.width, typed.height, false, false), int(QDialog::Rejected));
      QCOMPARE(messages_, QStringList{typed.message});
    }
    messages_.clear();
    QCOMPARE(Answer(dialog, " 2000 ", "1", true, true), int(QDialog::Accepted));
    QVERIFY(messages_.isEmpty());
    QCOMPARE(dialog.width, 2000);
    QCOMPARE(dialog.height, 1);
    QCOMPARE(dialog.method, 1);
    QVERIFY(dialog.convertAll);
  }

  void adjustRewritesTheChosenPicturesAndNamesTheUnreadable() {
    CZentoraDlg window(nullptr, Root("default"));
    CGalleryItemList& pictures = window.PictureGallery().Items();
    SaveFilled(Root("a.png"), QSize(800, 600));
    SaveFilled(Root("b.bmp"), QSize(100, 50));
    pictures.Add(Root("a.png"));
    pictures.Add(Root("b.bmp"));
    pictures.Add(Root("missing.png"));

    // Each opening shows the defaults, whatever was answered before.
    QStringList shown;
    bool convertAll = false;
    SetModalDialogResponder([&](QDialog& dialog) {
      auto& adjust = static_cast<CAdjustImageDlg&>(dialog);
      shown << Shown(adjust);
      return Answer(adjust, "64", "48", true, convertAll);
    });

    window.Action(ID_ADJUST_IMAGES)->trigger();  // nothing selected
    QCOMPARE(SizeOf(Root("a.png")), QSize(800, 600));
    QCOMPARE(window.Project().Modified(), 1);
    QVERIFY(messages_.isEmpty());

    pictures.SetSelected(0);
    window.Action(ID_ADJUST_IMAGES)->trigger();
    QCOMPARE(SizeOf(Root("a.png")), QSize(64, 48));
    QCOMPARE(SizeOf(Root("b.bmp")), QSize(100, 50));

    convertAll = true;
    window.Action(ID_ADJUST_IMAGES)->trigger();
    QCOMPARE(SizeOf(Root("b.bmp")), QSize(64, 48));
    QCOMPARE(messages_.size(), 1);
    QVERIFY(messages_[0].contains(Name(Root("missing.png"))));
    QVERIFY(!messages_[0].contains(QStringLiteral("b.bmp")));
    QCOMPARE(shown, QStringList(3, QStringLiteral("crop 640 480 1 0")));
    QCOMPARE(questions_.size(), 2);
    QCOMPARE(questions_[1].text, QStringLiteral("调整将改写这3张图片的文件，无法撤销。是否继续？"));
    QTRY_COMPARE(Lines(window),
                 (QStringList{"已调整：" + Name(Root("a.png")), "已调整：" + Name(Root("a.png")),
                              "已调整：" + Name(Root("b.bmp"))}));
  }

  void adjustAsksBeforeRewritingThePicture_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("no") << int(QMessageBox::No) << QSize(80, 60) << QStringList{};
    QTest::newRow("yes") << int(QMessageBox::Yes) << QSize(64, 48)
                         << QStringList{"已调整：" + Name(Root("asked.png"))};
  }

  void adjustAsksBeforeRewritingThePicture() {
    QFETCH(int, answer);
    QFETCH(QSize, size);
    QFETCH(QStringList, lines);
    CZentoraDlg window(nullptr, Root("default"));
    SaveFilled(Root("asked.png"), QSize(80, 60));
    window.PictureGallery().Items().Add(Root("asked.png"));
    window.PictureGallery().Items().SetSelected(0);
    SetModalDialogResponder([&](QDialog& dialog) {
      return Answer(static_cast<CAdjustImageDlg&>(dialog), "64", "48", true, false);
    });
    answer_ = static_cast<QMessageBox::StandardButton>(answer);
    window.Action(ID_ADJUST_IMAGES)->trigger();
    QCOMPARE(questions_.size(), 1);
    QCOMPARE(questions_[0].text,
             QStringLiteral("调整将改写图片“asked.png”的文件，无法撤销。是否继续？"));
    QCOMPARE(questions_[0].defaultButton, QMessageBox::No);
    QCOMPARE(SizeOf(Root("asked.png")), size);
    QCOMPARE(window.Project().Modified(), int(answer == QMessageBox::Yes));
    QTest::qWait(20);
    QCOMPARE(Lines(window), lines);
  }

  void exportWritesTheFormOfTheChosenName() {
    CZentoraDlg window(nullptr, Root("default"));
    SaveFilled(Root("a.png"), QSize(2, 1));
    window.PictureGallery().Items().Add(Root("a.png"));
    QString chosen;
    FileDialogRequest asked;
    SetFileDialogResponder([&](const FileDialogRequest& request) {
      asked = request;
      return chosen.isEmpty() ? QStringList{} : QStringList{chosen};
    });

    window.Action(IDC_EXPORT_IMAGES)->trigger();  // cancelled
    QCOMPARE(asked.kind, FileDialogRequest::Kind::SaveFile);
    QCOMPARE(asked.filter, QStringLiteral("二进制文件(*.bin);;C头文件(*.h)"));
    QCOMPARE(asked.filterSuffixes, (QStringList{"bin", "h"}));
    QCOMPARE(asked.fileName, QStringLiteral("output"));
    QCOMPARE(asked.directory, Name(Root("default/")));  // the working folder
    QVERIFY(asked.confirmOverwrite);

    chosen = Name(Root("OUT.BIN"));
    window.Action(IDC_EXPORT_IMAGES)->trigger();
    QCOMPARE(fs::file_size(Root("OUT.BIN")), 4u);  // two 16-bit pixels
    QVERIFY(fs::exists(Root("OUT.idx")));
    QTRY_COMPARE(
        Lines(window).mid(Lines(window).size() - 2),
        (QStringList{"已导出：" + Name(Root("OUT.BIN")), "已导出：" + Name(Root("OUT.idx"))}));

    chosen = Name(Root("pictures"));
    window.Action(IDC_EXPORT_IMAGES)->trigger();
    QVERIFY(fs::file_size(Root("pictures")) > 0);
    QVERIFY(messages_.isEmpty());
    QTRY_COMPARE(Lines(window).last(), "已导出：" + Name(Root("pictures")));
    const int linesBefore = int(Lines(window).size());

    for (const char* unwritable : {"no/such/folder/x.h", "no/such/folder/x.bin"}) {
      messages_.clear();
      chosen = Name(Root(unwritable));
      window.Action(IDC_EXPORT_IMAGES)->trigger();
      QCOMPARE(messages_.size(), 1);
      QVERIFY2(messages_[0].contains(Name(Root("no/such/folder"))), qPrintable(messages_[0]));
    }
    QTest::qWait(20);
    QVERIFY(!Lines(window).mid(linesBefore).join('|').contains(QStringLiteral("已导出")));
    QCOMPARE(window.Project().Modified(), 0);
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::PictureCommandsTest)
#include "picture_commands_test.moc"
