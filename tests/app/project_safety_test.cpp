// Files the user did not ask to change stay as they were, from the command
// line and from the window; and the main window keeps the project it holds.
#include <QAction>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <cstddef>
#include <filesystem>

#include "app/zentora_dlg.h"
#include "image/image_gallery.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

namespace zentora {

namespace {

const QString kProject = "<Karvelo><Images><Image RelativePath=\"a.png\"/></Images></Karvelo>";

// How a.png comes into the working folder W ("create": zentora-cli project
// create; "add": the window's 添加图片), from folders P/p0, P/p1 … with these
// bytes, over what W/a.png held; or "export" onto `file`, the project's own.
// Then the answer to the window's question, what was said, `file` as it must
// be after, and the entries listed.
struct KeptRow {
  const char* tag;
  const char* how;
  QStringList picked;
  QString before;
  int answer;
  QString said;
  QString file;
  QString after;
  int entries = -1;
};
const QString kAsk = "工程中已有同名文件“a.png”，是否替换？";
// clang-format off
const KeptRow kKept[] = {
    {"create: two of one name", "create", {"1", "2"}, "", 0,
     "同名的不同文件不能都加入工程：P/p0/a.png 与 P/p1/a.png", "a.png", ""},
    {"create: name taken", "create", {"new"}, "old", 0,
     "工程文件夹中已有同名的不同文件：W/a.png", "a.png", "old"},
    {"create: same bytes", "create", {"1", "1"}, "1", 0, "", "a.png", "1"},
    {"add: No", "add", {"new"}, "old", QMessageBox::No, kAsk, "a.png", "old", 0},
    {"add: Yes", "add", {"new"}, "old", QMessageBox::Yes, kAsk, "a.png", "new", 1},
    {"add: two of one name", "add", {"1", "2"}, "", QMessageBox::No, kAsk, "a.png", "1", 1},
    {"add: same bytes", "add", {"1", "1"}, "1", 0, "", "a.png", "1", 2},
    {"export onto the project", "export", {}, "old", 0,
     "不能导出到工程自己的文件：W/P.zentoraprj", "P.zentoraprj", kProject},
    {"export onto a picture", "export", {}, "old", 0,
     "不能导出到工程自己的文件：W/a.png", "a.png", "old"},
    {"compile onto a picture", "compile", {}, "old", 0,
     "不能写入“W/output/image.bin”：它就是要读取的文件“W/a.png”", "a.png", "old"},
};
// clang-format on

// A step on a window listing /a, /b, /c: "close", "open" (a project of one
// entry) and "save" on a modified project, whose question gets `answer` and
// whose path dialog is accepted for a missing location (`saveFails`) or
// cancelled; or a drag of the first entry, released at `drop`.
struct SafetyRow {
  const char* tag;
  int step;
  int answer;
  bool saveFails;
  QStringList said;  // each up to its first "："
  int entries;
  int modified;
  QPoint drop = {};
};
const QString kModified = "文档被修改，是否保存？";
// clang-format off
const SafetyRow kSafety[] = {
    {"close: save fails", ID_APP_EXIT, QMessageBox::Yes, true, {kModified, "保存工程失败"}, 3, 1},
    {"close: path cancelled", ID_APP_EXIT, QMessageBox::Yes, false, {kModified}, 3, 1},
    {"open: Cancel", ID_OPEN_PROJECT, QMessageBox::Cancel, false, {kModified}, 3, 1},
    {"open: save fails", ID_OPEN_PROJECT, QMessageBox::Yes, true, {kModified, "保存工程失败"}, 3, 1},
    {"open: No", ID_OPEN_PROJECT, QMessageBox::No, false, {kModified}, 1, 0},
    {"save fails", ID_SAVE_PROJECT, 0, true, {"保存工程失败"}, 3, 1},
    {"reorder", 0, 0, false, {}, 3, 1, {270, 50}},
    {"drop in place", 0, 0, false, {}, 3, 0, {70, 50}},
    {"drag out", 0, 0, false, {}, 2, 1, {-60, 40}},
};
// clang-format on

void Write(const QString& path, const QString& text) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0);
}

QString Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// One data row per table row, named by its tag.
template <typename Row, std::size_t N>
void AddRows(const Row (&rows)[N]) {
  QTest::addColumn<int>("row");
  for (std::size_t i = 0; i < N; ++i) {
    QTest::newRow(rows[i].tag) << int(i);
  }
}

void Mouse(QWidget* client, QEvent::Type type, QPoint point, Qt::MouseButtons held) {
  QMouseEvent event(type, point, client->mapToGlobal(point), Qt::LeftButton, held, {});
  QApplication::sendEvent(client, &event);
}

}  // namespace

class ProjectSafetyTest : public QObject {
  Q_OBJECT

  QStringList said_;
  int answer_ = 0;

 private Q_SLOTS:
  void init() {
    said_.clear();
    SetAppMessageResponder([this](const AppMessage& message) {
      said_ << message.text;
      return QMessageBox::StandardButton(answer_);
    });
  }

  void cleanup() {
    SetFileDialogResponder({});
    SetModalDialogResponder({});
  }

  void filesKept_data() { AddRows(kKept); }
  void filesKept() {
    QFETCH(int, row);
    const KeptRow& kept = kKept[row];
    QTemporaryDir dir;
    const QString work = dir.filePath("W"), project = work + "/P.zentoraprj";
    QStringList sources;
    for (const QString& bytes : kept.picked) {
      sources << dir.filePath(QStringLiteral("p%1/a.png").arg(sources.size()));
      Write(sources.last(), bytes);
    }
    if (!kept.before.isEmpty()) {
      Write(work + "/a.png", kept.before);
    }
    answer_ = kept.answer;
    if (QString(kept.how) == "compile") {
      Write(project, kProject);
      QDir().mkpath(work + "/output");
      QVERIFY(QFile::link(work + "/a.png", work + "/output/image.bin"));
      CZentoraDlg window(nullptr, work.toStdString());
      QVERIFY(window.OpenProjectFile(project.toStdString()));
      window.Action(IDC_COMPILE_DOWNLOAD)->trigger();
      window.Worker().WaitUntilIdle();
    } else if (QString(kept.how) == "add") {
      CZentoraDlg window(nullptr, work.toStdString());
      SetFileDialogResponder([&](const FileDialogRequest&) { return sources; });
      window.Action(IDC_ADD_PICTURES)->trigger();
      QCOMPARE(window.PictureGallery().Items().GetCount(), kept.entries);
    } else {
      QStringList arguments{"project", "create", project};
      if (QString(kept.how) == "export") {
        Write(project, kProject);
        arguments = QStringList{"export", project, work + '/' + kept.file};
      }
      for (const QString& source : sources) {
        arguments << "--picture" << source;
      }
      QProcess cli;
      cli.start(QStringLiteral(ZENTORA_CLI), arguments);
      QVERIFY(cli.waitForFinished());
      said_ << QString::fromUtf8(cli.readAllStandardError()).remove("zentora-cli: ").trimmed();
      said_.removeAll(QString());
      QCOMPARE(cli.exitCode(), said_.isEmpty() ? 0 : 2);
    }
    QCOMPARE(said_.join('\n').replace(work, "W").replace(dir.path(), "P"), kept.said);
    QCOMPARE(Read(work + '/' + kept.file), kept.after);
  }

  void windowSafety_data() { AddRows(kSafety); }
  void windowSafety() {
    QFETCH(int, row);
    const SafetyRow& safety = kSafety[row];
    QTemporaryDir dir;
    SetModalDialogResponder([&](QDialog& dialog) {
      static_cast<CProjectPathDlg&>(dialog).projectLocation = dir.filePath("missing/deeper");
      return int(safety.saveFails ? QDialog::Accepted : QDialog::Rejected);
    });
    Write(dir.filePath("O.zentoraprj"), kProject);
    SetFileDialogResponder(
        [&](const FileDialogRequest&) { return QStringList{dir.filePath("O.zentoraprj")}; });
    CZentoraDlg window(nullptr, dir.filePath("default").toStdString());
    CImageGallery& gallery = window.PictureGallery();
    for (const char* name : {"/a", "/b", "/c"}) {
      gallery.Items().Add(name);
    }
    window.show();
    window.ShowPage(CZentoraDlg::kPicturePage);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    answer_ = safety.answer;
    if (safety.step == 0) {
      Mouse(gallery.viewport(), QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
      Mouse(gallery.viewport(), QEvent::MouseButtonRelease, safety.drop, Qt::NoButton);
    } else {
      window.Project().SetModified();
      window.Action(safety.step)->trigger();
    }
    QVERIFY(window.isVisible());
    QCOMPARE(said_.replaceInStrings(QRegularExpression("：.*"), ""), safety.said);
    QCOMPARE(gallery.Items().GetCount(), safety.entries);
    QCOMPARE(window.Project().Modified(), safety.modified);
  }

  // "打开工程" on a file that is no project names it with the reason and
  // keeps the project the window holds.
  void openRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("missing") << "missing"
                             << "无法打开工程：P/x.zentoraprj（文件或文件夹不存在）";
    QTest::newRow("fifo") << "fifo"
                          << "无法打开工程：P/x.zentoraprj（是命名管道（FIFO），不是普通文件）";
    QTest::newRow("folder") << "folder"
                            << "无法打开工程：P/x.zentoraprj（是文件夹，不是文件）";
    QTest::newRow("invalid") << "invalid"
                             << "无法打开工程：P/x.zentoraprj（不是有效的工程文件（第 1 行："
                                "Premature end of data in tag Images line 1））";
  }
  void openRefused() {
    QFETCH(QString, kind);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString file = dir.filePath("x.zentoraprj");
    if (kind == "fifo") {
      QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    } else if (kind == "folder") {
      QVERIFY(QDir().mkpath(file));
    } else if (kind == "invalid") {
      Write(file, "<Karvelo><Images>");
    }
    SetFileDialogResponder([&](const FileDialogRequest&) { return QStringList{file}; });
    CZentoraDlg window(nullptr, dir.filePath("default").toStdString());
    for (const char* name : {"/a", "/b", "/c"}) {
      window.PictureGallery().Items().Add(name);
    }
    const std::filesystem::path before = window.Project().ProjectFilePath();
    window.Action(ID_OPEN_PROJECT)->trigger();
    QCOMPARE(said_.join('\n').replace(dir.path(), "P"), said);
    QCOMPARE(window.PictureGallery().Items().GetCount(), 3);
    QCOMPARE(window.Project().ProjectFilePath(), before);
  }

  // A fresh account has neither a data folder nor a documents folder.
  void freshAccount() {
    QTemporaryDir home;
    const QByteArray saved = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    CZentoraDlg window;
    qputenv("HOME", saved);
    QVERIFY(QFileInfo(home.filePath(".local/share/Zentora助手")).isDir());
    QCOMPARE(window.PathDialog().projectLocation, home.path());
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::ProjectSafetyTest)
#include "project_safety_test.moc"
