#include "download/download_dlg.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/zentora_dlg.h"
#include "download/build_worker.h"
#include "modsim_control.h"
#include "ui/control_ids.h"
#include "ui/message_box.h"
#include "ui/shell_dialogs.h"

namespace zentora {

namespace {

QStringList Lines(const CZentoraDlg& window) {
  QStringList lines;
  const auto* list = FindControl<QListWidget>(&window, IDC_OUTPUT_LIST);
  for (int i = 0; i < list->count(); ++i) {
    lines << list->item(i)->text();
  }
  return lines;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

class DownloadDlgTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir root_;
  QStringList messages_;

  std::filesystem::path Folder(const char* name) const {
    return root_.filePath(QString::fromUtf8(name)).toStdString();
  }

  // The download dialog as the menu command shows it.
  CDownloadDlg& Show(CZentoraDlg& window) {
    window.Action(ID_DOWNLOAD_RESOURCES)->trigger();
    auto* dialog = window.findChild<CDownloadDlg*>();
    Q_ASSERT(dialog != nullptr);
    return *dialog;
  }

  static void Start(CDownloadDlg& dialog, const QString& path) {
    FindControl<QLineEdit>(&dialog, CDownloadDlg::IDC_RESOURCE_PATH)->setText(path);
    FindControl<QPushButton>(&dialog, CDownloadDlg::IDC_START_DOWNLOAD)->click();
  }

  // Waits for the cycle's last line; the limit only guards against a hang.
  static QStringList LinesOfCycle(CZentoraDlg& window) {
    if (!QTest::qWaitFor([&] { return Lines(window).value(Lines(window).size() - 1) == "结束"; },
                         30000)) {
      return {};
    }
    window.Worker().WaitUntilIdle();
    QCoreApplication::processEvents();
    return Lines(window);
  }

 private Q_SLOTS:
  void init() {
    messages_.clear();
    SetAppMessageResponder([this](const AppMessage& message) {
      messages_ << message.text;
      return QMessageBox::Ok;
    });
  }

  void cleanup() {
    SetAppMessageResponder({});
    SetFileDialogResponder({});
  }

  void everyUseResetsThePathToTheOutputFolder() {
    CZentoraDlg window(nullptr, Folder("default"));
    CDownloadDlg& dialog = Show(window);
    auto* edit = FindControl<QLineEdit>(&dialog, CDownloadDlg::IDC_RESOURCE_PATH);
    const QString output = QString::fromStdString((Folder("default") / "output").string());
    QCOMPARE(edit->text(), output);

    SetFileDialogResponder([](const FileDialogRequest&) { return QStringList{"/elsewhere"}; });
    FindControl<QPushButton>(&dialog, CDownloadDlg::IDC_BROWSE)->click();
    QCOMPARE(edit->text(), QStringLiteral("/elsewhere"));
    dialog.hide();

    QCOMPARE(&Show(window), &dialog);
    QVERIFY(dialog.isVisible());
    QCOMPARE(window.findChildren<CDownloadDlg*>().size(), 1);
    QCOMPARE(edit->text(), output);
  }

  void onlyAPathThatExistsStartsADownload() {
    CZentoraDlg window(nullptr, Folder("default"));
    CDownloadDlg& dialog = Show(window);
    for (const QString& path : {QString(), root_.filePath("missing")}) {
      Start(dialog, path);
      QCOMPARE(window.Worker().Command(), int(CMD_IDLE));
    }
    QCOMPARE(messages_, (QStringList{"目录不存在！", "目录不存在！"}));

    // A file passes the test; each transfer then fails with the reason.
    WriteFile(Folder("plain.txt"), "not a folder");
    Start(dialog, root_.filePath("plain.txt"));
    const auto notAFolder = [this](const char* name) {
      return "无法打开文件：" + root_.filePath("plain.txt/" + QString(name)) +
             "（路径中的某一级不是文件夹）";
    };
    QCOMPARE(
        LinesOfCycle(window),
        (QStringList{"开始", "下载图片索引...", "下载图片索引失败！", notAFolder("image.idx"),
                     "下载声音索引...", "下载声音索引失败！", notAFolder("wave.idx"), "结束"}));
    QCOMPARE(messages_.size(), 2);
    QVERIFY(dialog.isVisible());
  }

  void enterInTheFolderFieldStartsTheDownload() {
    CZentoraDlg window(nullptr, Folder("default"));
    CDownloadDlg& dialog = Show(window);
    auto* edit = FindControl<QLineEdit>(&dialog, CDownloadDlg::IDC_RESOURCE_PATH);
    edit->setText(root_.filePath("missing"));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    // The button's check of the path answers, and the window stays.
    QCOMPARE(messages_, QStringList{"目录不存在！"});
    QVERIFY(dialog.isVisible());
  }

  void downloadsAFolderToTheSimulatedModule() {
    const ModsimControl modsim = ModsimControl::Find();
    if (!modsim.Loaded()) {
      QSKIP("the simulated module is not preloaded");
    }
    QTemporaryDir received;
    qputenv("ZENTORA_MODSIM_DIR", received.path().toLocal8Bit());
    // A link as slow as a real one keeps the cycle running while the button
    // is pressed a second time.
    qputenv("ZENTORA_MODSIM_LATENCY_US", "20000");
    modsim.reset();

    const std::filesystem::path folder = Folder("compiled");
    std::filesystem::create_directory(folder);
    // Sizes around the 2048-byte frame, so every file is cut differently.
    const std::pair<const char*, std::size_t> files[] = {
        {"image.idx", 16}, {"image.bin", 5000}, {"wave.idx", 2048}, {"wave.bin", 4097}};
    for (const auto& [name, size] : files) {
      std::string bytes(size, '\0');
      for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 7 + size) % 251);
      }
      WriteFile(folder / name, bytes);
    }

    CZentoraDlg window(nullptr, Folder("default"));
    CDownloadDlg& dialog = Show(window);
    Start(dialog, QString::fromStdString(folder.string()));
    // Pressed again while the cycle runs: ignored, nothing is sent twice.
    FindControl<QPushButton>(&dialog, CDownloadDlg::IDC_START_DOWNLOAD)->click();
    QCOMPARE(LinesOfCycle(window),
             (QStringList{"开始", "下载图片索引...", "下载图片索引成功！", "下载图片数据...",
                          "下载图片数据成功！", "下载声音索引...", "下载声音索引成功！",
                          "下载声音数据...", "下载声音数据成功！", "结束"}));
    QVERIFY(messages_.isEmpty());
    for (const auto& [name, size] : files) {
      QCOMPARE(ReadFile(std::filesystem::path(received.path().toStdString()) / name),
               ReadFile(folder / name));
    }
    QCOMPARE(QString::fromUtf8(modsim.log()).count("usb_open bus="), 4);
    QCOMPARE(modsim.violations(), 0);
    qunsetenv("ZENTORA_MODSIM_LATENCY_US");
  }
};

}  // namespace zentora

QTEST_MAIN(zentora::DownloadDlgTest)
#include "download_dlg_test.moc"
