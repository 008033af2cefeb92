#include "project/project_file.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlstring.h>
#include <libxml/xpath.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "base/translation.h"
#include "base/whole_file.h"

namespace zentora {

namespace {

constexpr std::string_view kTemplate =
    "<Karvelo Version=\"1.0\"><Pages/><Images/><Waves/></Karvelo>";

const xmlChar* Xml(const char* text) {
  return reinterpret_cast<const xmlChar*>(text);
}

// A project file must never make the program read another file or reach the
// network, whatever its DTD asks for.
xmlParserInputPtr RefuseExternalEntity(const char* /*url*/, const char* /*id*/,
                                       xmlParserCtxtPtr /*context*/) {
  return nullptr;
}

void InitialiseLibxml() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    xmlSetExternalEntityLoader(RefuseExternalEntity);
  });
}

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ParserContextFree {
  void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
struct XPathContextFree {
  void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct XPathObjectFree {
  void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

// Parser options: no network, no entity substitution, no DTD loading, and
// errors kept in the context rather than printed.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

Result<DocPtr> ParseXml(std::string_view bytes) {
  InitialiseLibxml();
  if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
    return Status::Failure(Tr("project", "文件过大"));
  }
  std::unique_ptr<xmlParserCtxt, ParserContextFree> context(xmlNewParserCtxt());
  if (!context) {
    return Status::Failure(Tr("project", "内存不足"));
  }
  DocPtr doc(xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr,
                               nullptr, kParseOptions));
  if (!doc) {
    const xmlError* error = xmlCtxtGetLastError(context.get());
    std::string message = Tr("project", "不是有效的工程文件");
    if (error != nullptr && error->message != nullptr) {
      std::string detail = error->message;
      while (!detail.empty() && (detail.back() == '\n' || detail.back() == '\r')) {
        detail.pop_back();
      }
      message += Fill(Tr("project", "（第 %1 行：%2）"), std::to_string(error->line), detail);
    }
    return Status::Failure(std::move(message));
  }
  return doc;
}

// The attribute's own text. Entity references that the file defines itself
// are not expanded: a file name never needs them, and expanding them is how
// entity bombs and external reads get in.
std::optional<std::string> RelativePathOf(const xmlNode* element) {
  for (const xmlAttr* attribute = element->properties; attribute != nullptr;
       attribute = attribute->next) {
    if (attribute->ns != nullptr || xmlStrEqual(attribute->name, Xml("RelativePath")) == 0) {
      continue;
    }
    std::string text;
    for (const xmlNode* part = attribute->children; part != nullptr; part = part->next) {
      if (part->type == XML_TEXT_NODE && part->content != nullptr) {
        text += reinterpret_cast<const char*>(part->content);
      }
    }
    return text;
  }
  return std::nullopt;
}

std::vector<std::string> SelectNames(xmlXPathContext* xpath, const char* expression) {
  std::vector<std::string> names;
  std::unique_ptr<xmlXPathObject, XPathObjectFree> found(
      xmlXPathEvalExpression(Xml(expression), xpath));
  if (!found || found->nodesetval == nullptr) {
    return names;
  }
  const xmlNodeSet* nodes = found->nodesetval;
  names.reserve(static_cast<std::size_t>(nodes->nodeNr));
  for (int i = 0; i < nodes->nodeNr; ++i) {
    const std::optional<std::string> relative = RelativePathOf(nodes->nodeTab[i]);
    names.push_back(relative ? EntryNameFromRelativePath(*relative) : std::string());
  }
  return names;
}

bool IsXmlSafeName(const std::string& name) {
  if (xmlCheckUTF8(Xml(name.c_str())) == 0 || name.find('\0') != std::string::npos) {
    return false;
  }
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
      return false;
    }
  }
  return true;
}

Status AppendEntries(xmlXPathContext* xpath, const char* listPath, const char* elementName,
                     const std::vector<std::string>& names) {
  std::unique_ptr<xmlXPathObject, XPathObjectFree> found(
      xmlXPathEvalExpression(Xml(listPath), xpath));
  if (!found || found->nodesetval == nullptr || found->nodesetval->nodeNr == 0) {
    return Status::Failure(Tr("project", "内部错误：模板缺少元素"));
  }
  xmlNode* list = found->nodesetval->nodeTab[0];
  for (const std::string& name : names) {
    if (!IsXmlSafeName(name)) {
      return Status::Failure(Tr("project", "文件名含有无法保存的字符：") + name);
    }
    xmlNode* element = xmlNewChild(list, nullptr, Xml(elementName), nullptr);
    // xmlNewProp stores the value as plain text; the writer escapes it.
    if (element == nullptr ||
        xmlNewProp(element, Xml("RelativePath"), Xml(name.c_str())) == nullptr) {
      return Status::Failure(Tr("project", "内存不足"));
    }
  }
  return Status::Ok();
}

}  // namespace

std::string EntryNameFromRelativePath(std::string_view relativePath) {
  const std::size_t lastSeparator = relativePath.find_last_of("/\\");
  std::string_view name = lastSeparator == std::string_view::npos
                              ? relativePath
                              : relativePath.substr(lastSeparator + 1);
  if (name == "." || name == "..") {
    return {};
  }
  return std::string(name);
}

Result<ProjectFileContents> ParseProjectFile(std::string_view bytes) {
  Result<DocPtr> doc = ParseXml(bytes);
  if (!doc) {
    return doc.status();
  }
  std::unique_ptr<xmlXPathContext, XPathContextFree> xpath(xmlXPathNewContext(doc.value().get()));
  if (!xpath) {
    return Status::Failure(Tr("project", "内存不足"));
  }
  ProjectFileContents contents;
  contents.images = SelectNames(xpath.get(), "//Image");
  contents.waves = SelectNames(xpath.get(), "//Wave");
  return contents;
}

Result<ProjectFileContents> ReadProjectFile(const std::filesystem::path& path) {
  Result<std::string> bytes = ReadWholeFile(path, kMaxProjectFileBytes);
  if (!bytes) {
    return bytes.status();
  }
  return ParseProjectFile(bytes.value());
}

Result<std::string> SerializeProjectFile(const ProjectFileContents& contents) {
  Result<DocPtr> doc = ParseXml(kTemplate);
  if (!doc) {
    return doc.status();
  }
  std::unique_ptr<xmlXPathContext, XPathContextFree> xpath(xmlXPathNewContext(doc.value().get()));
  if (!xpath) {
    return Status::Failure(Tr("project", "内存不足"));
  }
  if (Status added = AppendEntries(xpath.get(), "//Images", "Image", contents.images); !added) {
    return added;
  }
  if (Status added = AppendEntries(xpath.get(), "//Waves", "Wave", contents.waves); !added) {
    return added;
  }
  xmlChar* text = nullptr;
  int length = 0;
  xmlDocDumpMemoryEnc(doc.value().get(), &text, &length, "UTF-8");
  if (text == nullptr) {
    return Status::Failure(Tr("project", "内存不足"));
  }
  std::string bytes(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
  xmlFree(text);
  return bytes;
}

}  // namespace zentora
