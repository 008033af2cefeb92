#include "cli/json_output.h"

#include <QJsonDocument>

#include <cstdio>

#include "base/translation.h"

namespace zentora::cli {

void AddJsonOption(QCommandLineParser& parser) {
  parser.addOption({"json", TrQ("cli", "在 stdout 上输出一个 JSON 文档，供脚本读取。")});
}

void PrintJson(QJsonObject document) {
  document.insert("version", kJsonVersion);
  const QByteArray text = QJsonDocument(document).toJson(QJsonDocument::Indented);
  std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
}

}  // namespace zentora::cli
