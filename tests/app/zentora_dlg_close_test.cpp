#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/zentora_dlg.h"
#include "download/download_dlg.h"
#include "image/image_gallery.h"
#include "modsim_control.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"

namespace zentora {

namespace {

enum class Cycle { kNone, kCompileDownload, kDownloadOnly };

const char* const kResourceFiles[] = {"image.idx", "image.bin", "wave.idx", "wave.bin"};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
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

class ZentoraDlgCloseTest : public QObject {
  Q_OBJECT

 private:
  QStringList questions_;
  QList<int> answers_;

 private Q_SLOTS:
  void init() {
    questions_.clear();
    SetAppMessageResponder([this](const AppMessage& message) {
      questions_ << message.text;
      return QMessageBox::StandardButton(answers_.isEmpty() ? QMessageBox::Ok
                                                            : answers_.takeFirst());
    });
  }

  void cleanup() { SetAppMessageResponder({}); }

  void closingWhileACycleRuns_data() {
    QTest::addColumn<Cycle>("cycle");
    // One close per answer, at least one.
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("closedAtOnce");
    QTest::addColumn<bool>("closedAfterCycle");
    const int yes = QMessageBox::Yes;
    QTest::newRow("idle: no question") << Cycle::kNone << QList<int>{} << true << false;
    QTest::newRow("是 waits, then closes")
        << Cycle::kCompileDownload << QList<int>{yes} << false << true;
    QTest::newRow("否 closes at once")
        << Cycle::kCompileDownload << QList<int>{QMessageBox::No} << true << false;
    QTest::newRow("取消 keeps working")
        << Cycle::kCompileDownload << QList<int>{QMessageBox::Cancel} << false << false;
    QTest::newRow("是, then 取消 on closing again")
        << Cycle::kCompileDownload << QList<int>{yes, QMessageBox::Cancel} << false << false;
    QTest::newRow("download window's transfer: 是 waits, then closes")
        << Cycle::kDownloadOnly << QList<int>{yes} << false << true;
  }

  void closingWhileACycleRuns() {
    QFETCH(Cycle, cycle);
    QFETCH(QList<int>, answers);
    QFETCH(bool, closedAtOnce);
    QFETCH(bool, closedAfterCycle);
    const ModsimControl modsim = ModsimControl::Find();
    if (!modsim.Loaded()) {
      QSKIP("the simulated module is not preloaded");
    }
    QTemporaryDir home;
    QTemporaryDir received;
    qputenv("ZENTORA_MODSIM_DIR", received.path().toLocal8Bit());
    // A link as slow as a real one: the cycle outlasts the checks made on it.
    qputenv("ZENTORA_MODSIM_LATENCY_US", "20000");
    modsim.reset();
    const std::filesystem::path folder = home.path().toStdString();
    for (const char* name : {"level.bmp", "beep.wav"}) {
      std::filesystem::copy_file(std::filesystem::path(ZENTORA_SAMPLES_DIR) / name, folder / name);
    }

    CZentoraDlg window(nullptr, folder);
    window.show();
    window.PictureGallery().Items().Add(folder / "level.bmp");
    window.SoundGallery().Items().Add(folder / "beep.wav");
    window.Action(ID_DOWNLOAD_RESOURCES)->trigger();
    auto* dialog = window.findChild<CDownloadDlg*>();
    auto* startDownload = FindControl<QPushButton>(dialog, CDownloadDlg::IDC_START_DOWNLOAD);
    std::filesystem::path sent = folder / "output";
    if (cycle == Cycle::kCompileDownload) {
      window.Action(IDC_COMPILE_DOWNLOAD)->trigger();
    } else if (cycle == Cycle::kDownloadOnly) {
      sent = folder / "compiled";
      std::filesystem::create_directory(sent);
      for (const char* name : kResourceFiles) {
        std::ofstream(sent / name, std::ios::binary) << std::string(3000, name[0]);
      }
      FindControl<QLineEdit>(dialog, CDownloadDlg::IDC_RESOURCE_PATH)
          ->setText(QString::fromStdString(sent.string()));
      startDownload->click();
      // Closing the download window only hides it: nothing to ask.
      dialog->close();
      QVERIFY(!dialog->isVisible());
    }
    const bool running = cycle != Cycle::kNone;
    QCOMPARE(window.Action(IDC_COMPILE_DOWNLOAD)->isEnabled(), !running);
    QCOMPARE(FindControl<QPushButton>(&window, IDC_COMPILE_DOWNLOAD)->isEnabled(), !running);
    QCOMPARE(startDownload->isEnabled(), !running);
    if (running) {
      // The cycle's first line clears the list; the waiting line comes after.
      QTRY_VERIFY(Lines(window).contains("开始"));
    }

    answers_ = answers;
    for (qsizetype i = 0; i < std::max<qsizetype>(1, answers.size()); ++i) {
      window.close();
    }
    const QString question =
        cycle == Cycle::kDownloadOnly
            ? "正在下载，现在退出会使模块中的资源不完整。是否等待完成后退出？"
            : "正在编译下载，现在退出会使模块中的资源不完整。是否等待完成后退出？";
    QCOMPARE(questions_, QStringList(answers.size(), question));
    QCOMPARE(window.isVisible(), !closedAtOnce);
    if (closedAtOnce) {
      QCOMPARE(window.Worker().Command(), int(CMD_EXIT));
      return;
    }

    QTRY_VERIFY_WITH_TIMEOUT(startDownload->isEnabled(), 30000);
    QCOMPARE(Lines(window).contains("完成后退出…（再次关闭窗口可改变选择）"),
             answers.first() == QMessageBox::Yes);
    QVERIFY(window.Action(IDC_COMPILE_DOWNLOAD)->isEnabled());
    QCOMPARE(window.isVisible(), !closedAfterCycle);
    for (const char* name : kResourceFiles) {
      QCOMPARE(ReadFile(received.filePath(name).toStdString()), ReadFile(sent / name));
    }
    QCOMPARE(modsim.violations(), 0);
    qunsetenv("ZENTORA_MODSIM_LATENCY_US");
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::ZentoraDlgCloseTest)
#include "zentora_dlg_close_test.moc"
