#include "project/project_file.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.h"

namespace zentora {
namespace {

using testing::CTempDir;
using testing::WriteBytes;
using Names = std::vector<std::string>;

const std::filesystem::path kDataDir = std::filesystem::path(ZENTORA_TEST_DATA_DIR) / "project";

// "<Karvelo ...>" with the given lists, as a file written by hand would be.
std::string Document(std::string_view images, std::string_view waves = "") {
  return "<Karvelo Version=\"1.0\"><Pages/><Images>" + std::string(images) + "</Images><Waves>" +
         std::string(waves) + "</Waves></Karvelo>";
}

// UTF-16 code units as bytes, with a byte order mark first.
std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// --- Names taken from RelativePath -------------------------------------------

struct NameCase {
  const char* relativePath;
  const char* name;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << '"' << c.relativePath << '"';
}

class EntryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(EntryNameTest, KeepsOnlyTheLastComponent) {
  EXPECT_EQ(EntryNameFromRelativePath(GetParam().relativePath), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, EntryNameTest,
    ::testing::Values(NameCase{"a.png", "a.png"}, NameCase{"sub/x.png", "x.png"},
                      NameCase{"..\\y.png", "y.png"}, NameCase{"C:\\pics\\z.bmp", "z.bmp"},
                      NameCase{"/etc/passwd", "passwd"}, NameCase{"a\\b/c\\d.wav", "d.wav"},
                      NameCase{"图片/声音.wav", "声音.wav"}, NameCase{"a/..", ""},
                      NameCase{"..", ""}, NameCase{".", ""}, NameCase{"x\\.", ""}, NameCase{"", ""},
                      NameCase{"dir/", ""}, NameCase{"dir\\", ""}, NameCase{"...", "..."},
                      NameCase{".hidden", ".hidden"}, NameCase{" a b .png", " a b .png"}));

// --- Writing -----------------------------------------------------------------

TEST(SerializeProjectFile, SmallProjectExactBytes) {
  Result<std::string> bytes = SerializeProjectFile({{"a.bmp", "b.png"}, {"s.wav"}});
  ASSERT_TRUE(bytes) << bytes.error();
  EXPECT_EQ(bytes.value(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images><Image RelativePath=\"a.bmp\"/>"
            "<Image RelativePath=\"b.png\"/></Images><Waves><Wave RelativePath=\"s.wav\"/>"
            "</Waves></Karvelo>\n");
}

TEST(SerializeProjectFile, EmptyListsGiveTheBareSkeleton) {
  Result<std::string> bytes = SerializeProjectFile({});
  ASSERT_TRUE(bytes) << bytes.error();
  EXPECT_EQ(bytes.value(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images/><Waves/></Karvelo>\n");
}

TEST(SerializeProjectFile, OnlySoundsKeepsImagesEmpty) {
  Result<std::string> bytes = SerializeProjectFile({{}, {"1.wav", "2.wav"}});
  ASSERT_TRUE(bytes) << bytes.error();
  EXPECT_EQ(bytes.value(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images/><Waves><Wave RelativePath=\"1.wav\"/>"
            "<Wave RelativePath=\"2.wav\"/></Waves></Karvelo>\n");
}

TEST(SerializeProjectFile, EscapesMarkupAndWritesChineseAsUtf8) {
  Result<std::string> bytes =
      SerializeProjectFile({{"\xE5\x9B\xBE\xE7\x89\x87.png", "a&\"<>'.png", "t\tn\n.png", ""},
                            {"\xE5\xA3\xB0\xE9\x9F\xB3.wav"}});
  ASSERT_TRUE(bytes) << bytes.error();
  EXPECT_EQ(bytes.value(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images>"
            "<Image RelativePath=\"\xE5\x9B\xBE\xE7\x89\x87.png\"/>"
            "<Image RelativePath=\"a&amp;&quot;&lt;&gt;'.png\"/>"
            "<Image RelativePath=\"t&#9;n&#10;.png\"/>"
            "<Image RelativePath=\"\"/>"
            "</Images><Waves><Wave RelativePath=\"\xE5\xA3\xB0\xE9\x9F\xB3.wav\"/></Waves>"
            "</Karvelo>\n");
}

struct RefusedName {
  const char* label;
  std::string name;
};

void PrintTo(const RefusedName& c, std::ostream* os) {
  *os << c.label;
}

class SerializeRefusesTest : public ::testing::TestWithParam<RefusedName> {};

TEST_P(SerializeRefusesTest, NamesXmlCannotCarry) {
  // Refused in either list, with a message naming the problem.
  Result<std::string> asPicture = SerializeProjectFile({{"ok.png", GetParam().name}, {}});
  ASSERT_FALSE(asPicture);
  EXPECT_EQ(asPicture.error().rfind("文件名含有无法保存的字符：", 0), 0u) << asPicture.error();
  Result<std::string> asSound = SerializeProjectFile({{}, {GetParam().name}});
  EXPECT_FALSE(asSound);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, SerializeRefusesTest,
    ::testing::Values(RefusedName{"Gbk", "\xB2\xE2.png"}, RefusedName{"Truncated", "a\xE5\x9B"},
                      RefusedName{"Control", "a\x01.png"}, RefusedName{"Escape", "\x1B[0m"},
                      RefusedName{"Nul", std::string("a\0b", 3)}),
    [](const ::testing::TestParamInfo<RefusedName>& param) { return param.param.label; });

TEST(SerializeProjectFile, RoundTripKeepsEveryName) {
  const ProjectFileContents contents{
      {"图片一.png", "a&b.png", "q\"uote.png", "x<y>z.png", "it's.png", "  spaced  .png",
       "tab\there.png", "😀.gif", "]]>.png", "", "图片一.png"},
      {"声音.wav", "&amp;.wav", ""}};
  Result<std::string> bytes = SerializeProjectFile(contents);
  ASSERT_TRUE(bytes) << bytes.error();
  Result<ProjectFileContents> read = ParseProjectFile(bytes.value());
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, contents.images);
  EXPECT_EQ(read.value().waves, contents.waves);
}

// --- Reading: encodings ------------------------------------------------------

TEST(ParseProjectFile, Utf8WithoutDeclaration) {
  Result<ProjectFileContents> read = ParseProjectFile(
      Document("<Image RelativePath=\"\xE5\x9B\xBE.png\"/>", "<Wave RelativePath=\"s.wav\"/>"));
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, Names{"\xE5\x9B\xBE.png"});
  EXPECT_EQ(read.value().waves, Names{"s.wav"});
}

TEST(ParseProjectFile, Utf8WithByteOrderMark) {
  Result<ProjectFileContents> read =
      ParseProjectFile("\xEF\xBB\xBF" + Document("<Image RelativePath=\"a.png\"/>"));
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, Names{"a.png"});
}

TEST(ParseProjectFile, Utf16WithByteOrderMark) {
  const std::u16string text =
      u"<Karvelo><Images><Image RelativePath=\"图片一.png\"/></Images>"
      u"<Waves><Wave RelativePath=\"声音.wav\"/></Waves></Karvelo>";
  for (const bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
    Result<ProjectFileContents> read = ParseProjectFile(Utf16Bytes(text, bigEndian));
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(read.value().images, Names{"\xE5\x9B\xBE\xE7\x89\x87\xE4\xB8\x80.png"});
    EXPECT_EQ(read.value().waves, Names{"\xE5\xA3\xB0\xE9\x9F\xB3.wav"});
  }
}

TEST(ParseProjectFile, DeclaredGb2312NamesComeBackAsUtf8) {
  // 图片.png in GB2312 is CD BC C6 AC 2E 70 6E 67.
  const std::string bytes =
      "<?xml version=\"1.0\" encoding=\"GB2312\"?>" +
      Document("<Image RelativePath=\"\xCD\xBC\xC6\xAC.png\"/>", "<Wave RelativePath=\"s.wav\"/>");
  Result<ProjectFileContents> read = ParseProjectFile(bytes);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, Names{"\xE5\x9B\xBE\xE7\x89\x87.png"});
  EXPECT_EQ(read.value().waves, Names{"s.wav"});
}

TEST(ParseProjectFile, DeclaredLatin1) {
  const std::string bytes = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" +
                            Document("<Image RelativePath=\"caf\xE9.png\"/>");
  Result<ProjectFileContents> read = ParseProjectFile(bytes);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, Names{"caf\xC3\xA9.png"});
}

struct FixtureCase {
  const char* file;
  Names images;
  Names waves;
};

void PrintTo(const FixtureCase& c, std::ostream* os) {
  *os << c.file;
}

class ProjectFileFixtureTest : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(ProjectFileFixtureTest, ReadsTheFile) {
  Result<ProjectFileContents> read = ReadProjectFile(kDataDir / GetParam().file);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, GetParam().images);
  EXPECT_EQ(read.value().waves, GetParam().waves);
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, ProjectFileFixtureTest,
    ::testing::Values(
        // Declares GB2312; 图片.png, 标志.bmp and 声音.wav are stored as GB2312 bytes.
        FixtureCase{"gb2312.zentoraprj",
                    {"\xE5\x9B\xBE\xE7\x89\x87.png", "\xE6\xA0\x87\xE5\xBF\x97.bmp"},
                    {"\xE5\xA3\xB0\xE9\x9F\xB3.wav"}},
        // UTF-16 little endian with a byte order mark and no declaration.
        FixtureCase{"utf16le-bom.zentoraprj",
                    {"\xE5\x9B\xBE\xE7\x89\x87\xE4\xB8\x80.png", "a&b.png"},
                    {"\xE5\xA3\xB0\xE9\x9F\xB3.wav"}},
        // UTF-16 big endian with a byte order mark and a declaration.
        FixtureCase{"utf16be-bom.zentoraprj",
                    {"\xE5\x9B\xBE\xE7\x89\x87\xE4\xB8\x80.png", "a&b.png"},
                    {"\xE5\xA3\xB0\xE9\x9F\xB3.wav"}},
        // Indented with CRLF, a comment, a processing instruction, another Version.
        FixtureCase{"hand-edited.zentoraprj", {"logo.png", "it's.bmp"}, {"beep.wav"}}),
    [](const ::testing::TestParamInfo<FixtureCase>& param) {
      std::string name = param.param.file;
      name = name.substr(0, name.find('.'));
      for (char& c : name) {
        if (c == '-') {
          c = '_';
        }
      }
      return name;
    });

// --- Reading: which elements count --------------------------------------------

TEST(ParseProjectFile, ElementsOutsideTheirListsCountInDocumentOrder) {
  const std::string bytes =
      "<Karvelo>"
      "<Image RelativePath=\"1.png\"/>"
      "<Wave RelativePath=\"1.wav\"/>"
      "<Pages><Image RelativePath=\"2.png\"/></Pages>"
      "<Images><Image RelativePath=\"3.png\"><Image RelativePath=\"4.png\"/></Image>"
      "<Wave RelativePath=\"2.wav\"/></Images>"
      "<Waves><Image RelativePath=\"5.png\"/><Wave RelativePath=\"3.wav\"/></Waves>"
      "<Other><Deeper><Wave RelativePath=\"4.wav\"/></Deeper></Other>"
      "<Image RelativePath=\"6.png\"/>"
      "</Karvelo>";
  Result<ProjectFileContents> read = ParseProjectFile(bytes);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, (Names{"1.png", "2.png", "3.png", "4.png", "5.png", "6.png"}));
  EXPECT_EQ(read.value().waves, (Names{"1.wav", "2.wav", "3.wav", "4.wav"}));
}

TEST(ParseProjectFile, RootNameAndVersionAreNotChecked) {
  Result<ProjectFileContents> read =
      ParseProjectFile("<Something Version=\"7\"><Image RelativePath=\"a.png\"/></Something>");
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, Names{"a.png"});
  EXPECT_TRUE(read.value().waves.empty());
}

TEST(ParseProjectFile, EmptyListsReadAsEmpty) {
  Result<ProjectFileContents> read =
      ParseProjectFile("<Karvelo Version=\"1.0\"><Pages/><Images/><Waves/></Karvelo>");
  ASSERT_TRUE(read) << read.error();
  EXPECT_TRUE(read.value().images.empty());
  EXPECT_TRUE(read.value().waves.empty());
}

TEST(ParseProjectFile, EntriesThatNameNoFileKeepTheirPlace) {
  const std::string bytes = Document(
      "<Image RelativePath=\"first.png\"/>"
      "<Image/>"
      "<Image RelativePath=\"sub/x.png\"/>"
      "<Image RelativePath=\"..\\y.png\"/>"
      "<Image RelativePath=\"a/..\"/>"
      "<Image RelativePath=\".\"/>"
      "<Image RelativePath=\"\"/>"
      "<Image Other=\"z.png\"/>"
      "<Image relativepath=\"lower.png\"/>"
      "<Image RelativePath=\"last.png\"/>",
      "<Wave/><Wave RelativePath=\"../../s.wav\"/><Wave RelativePath=\"..\"/>"
      "<Wave RelativePath=\"t.wav\"/>");
  Result<ProjectFileContents> read = ParseProjectFile(bytes);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images,
            (Names{"first.png", "", "x.png", "y.png", "", "", "", "", "", "last.png"}));
  EXPECT_EQ(read.value().waves, (Names{"", "s.wav", "", "t.wav"}));
}

TEST(ParseProjectFile, ElementsInANamespaceAreNotEntries) {
  const std::string bytes =
      "<Karvelo xmlns:n=\"urn:other\"><Images>"
      "<n:Image RelativePath=\"prefixed.png\"/>"
      "<Image RelativePath=\"a.png\"/>"
      "<Image n:RelativePath=\"attribute-in-namespace.png\"/>"
      "<Other xmlns=\"urn:other\"><Image RelativePath=\"default-namespace.png\"/></Other>"
      "</Images><Waves><n:Wave RelativePath=\"prefixed.wav\"/><Wave RelativePath=\"s.wav\"/>"
      "</Waves></Karvelo>";
  Result<ProjectFileContents> read = ParseProjectFile(bytes);
  ASSERT_TRUE(read) << read.error();
  // The Image with its RelativePath in a namespace is an entry without a name.
  EXPECT_EQ(read.value().images, (Names{"a.png", ""}));
  EXPECT_EQ(read.value().waves, Names{"s.wav"});
}

TEST(ParseProjectFile, DefaultNamespaceOnTheRootHidesEverything) {
  Result<ProjectFileContents> read = ParseProjectFile(
      "<Karvelo xmlns=\"urn:x\"><Images><Image RelativePath=\"a.png\"/></Images>"
      "<Waves><Wave RelativePath=\"s.wav\"/></Waves></Karvelo>");
  ASSERT_TRUE(read) << read.error();
  EXPECT_TRUE(read.value().images.empty());
  EXPECT_TRUE(read.value().waves.empty());
}

TEST(ParseProjectFile, CharacterReferencesAndPredefinedEntitiesAreDecoded) {
  Result<ProjectFileContents> read = ParseProjectFile(
      Document("<Image RelativePath=\"&#x56FE;&#29255;&amp;&lt;&gt;&quot;&apos;.png\"/>"));
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, Names{"\xE5\x9B\xBE\xE7\x89\x87&<>\"'.png"});
}

// --- Reading: files that are not project files --------------------------------

struct BrokenCase {
  const char* label;
  std::string bytes;
};

void PrintTo(const BrokenCase& c, std::ostream* os) {
  *os << c.label;
}

class ParseRefusesTest : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(ParseRefusesTest, WithAMessage) {
  Result<ProjectFileContents> read = ParseProjectFile(GetParam().bytes);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().rfind("不是有效的工程文件", 0), 0u) << read.error();
}

INSTANTIATE_TEST_SUITE_P(
    ProjectFile, ParseRefusesTest,
    ::testing::Values(
        BrokenCase{"Empty", ""}, BrokenCase{"Whitespace", " \r\n\t"},
        BrokenCase{"ByteOrderMarkOnly", "\xEF\xBB\xBF"}, BrokenCase{"PlainText", "a.png\nb.png\n"},
        BrokenCase{"Unclosed", "<Karvelo><Images><Image RelativePath=\"a.png\"/></Images>"},
        BrokenCase{"Mismatched", "<Karvelo></Images>"},
        BrokenCase{"TwoRoots", "<Karvelo/><Karvelo/>"},
        BrokenCase{"UnquotedAttribute", "<Karvelo><Image RelativePath=a.png/></Karvelo>"},
        BrokenCase{"DuplicateAttribute",
                   "<Karvelo><Image RelativePath=\"a\" RelativePath=\"b\"/></Karvelo>"},
        BrokenCase{"InvalidUtf8", "<Karvelo><Image RelativePath=\"\xB2\xE2.png\"/></Karvelo>"},
        BrokenCase{"UndefinedEntity", "<Karvelo><Image RelativePath=\"&nope;\"/></Karvelo>"},
        BrokenCase{"NulByte", std::string("<Karvelo>\0</Karvelo>", 20)},
        BrokenCase{"Binary", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)}),
    [](const ::testing::TestParamInfo<BrokenCase>& param) { return param.param.label; });

TEST(ReadProjectFile, MissingFileIsAnError) {
  CTempDir dir;
  Result<ProjectFileContents> read = ReadProjectFile(dir / "none.zentoraprj");
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error(), "文件或文件夹不存在");
}

TEST(ReadProjectFile, FolderIsAnError) {
  CTempDir dir;
  Result<ProjectFileContents> read = ReadProjectFile(dir.Path());
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error(), "是文件夹，不是文件");
}

TEST(ReadProjectFile, EmptyFileIsAnError) {
  CTempDir dir;
  WriteBytes(dir / "empty.zentoraprj", "");
  Result<ProjectFileContents> read = ReadProjectFile(dir / "empty.zentoraprj");
  ASSERT_FALSE(read);
  EXPECT_FALSE(read.error().empty());
}

TEST(ReadProjectFile, OversizedFileIsRefusedUnread) {
  CTempDir dir;
  const std::filesystem::path path = dir / "huge.zentoraprj";
  WriteBytes(path, "");
  // Sparse: costs no disk space.
  std::filesystem::resize_file(path, kMaxProjectFileBytes + 1);
  Result<ProjectFileContents> read = ReadProjectFile(path);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error(), "文件过大");
}

// --- Reading: nothing outside the bytes --------------------------------------

// Watches a file for being opened or read, through inotify: the events are
// queued as the access happens, so they can be collected right afterwards.
class AccessWatch {
 public:
  explicit AccessWatch(const std::filesystem::path& path)
      : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    EXPECT_GE(fd_, 0);
    EXPECT_GE(::inotify_add_watch(fd_, path.c_str(), IN_OPEN | IN_ACCESS), 0);
  }
  ~AccessWatch() { ::close(fd_); }
  AccessWatch(const AccessWatch&) = delete;
  AccessWatch& operator=(const AccessWatch&) = delete;

  bool WasTouched() {
    alignas(inotify_event) char buffer[4096];
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got < 0) {
      EXPECT_EQ(errno, EAGAIN);
      return false;
    }
    return got > 0;
  }

 private:
  int fd_;
};

class ExternalReferenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    secret_ = dir_ / "secret.txt";
    WriteBytes(secret_, "MARKER1234.png");
    dtd_ = dir_ / "entities.dtd";
    WriteBytes(dtd_, "<!ENTITY name \"MARKER1234.png\">");
  }

  // Parses while both files are watched; checks that neither was opened and
  // that the marker reached no name. Returns whether the parse succeeded.
  bool ParseUntouched(const std::string& bytes) {
    AccessWatch secretWatch(secret_);
    AccessWatch dtdWatch(dtd_);
    Result<ProjectFileContents> read = ParseProjectFile(bytes);
    EXPECT_FALSE(secretWatch.WasTouched()) << "the referenced file was opened";
    EXPECT_FALSE(dtdWatch.WasTouched()) << "the external DTD was opened";
    if (!read) {
      EXPECT_FALSE(read.error().empty());
      return false;
    }
    for (const std::string& name : read.value().images) {
      EXPECT_EQ(name.find("MARKER"), std::string::npos) << name;
    }
    for (const std::string& name : read.value().waves) {
      EXPECT_EQ(name.find("MARKER"), std::string::npos) << name;
    }
    last_ = read.value();
    return true;
  }

  CTempDir dir_;
  std::filesystem::path secret_;
  std::filesystem::path dtd_;
  ProjectFileContents last_;
};

TEST_F(ExternalReferenceTest, TheWatchSeesAnOpen) {
  // The watch itself must be able to fail the tests below.
  AccessWatch watch(secret_);
  EXPECT_EQ(testing::ReadText(secret_), "MARKER1234.png");
  EXPECT_TRUE(watch.WasTouched());
}

TEST_F(ExternalReferenceTest, ExternalEntityInAttributeIsRefused) {
  const std::string bytes = "<?xml version=\"1.0\"?>\n<!DOCTYPE Karvelo [<!ENTITY ext SYSTEM \"" +
                            secret_.string() + "\">]>\n" +
                            Document("<Image RelativePath=\"&ext;\"/>");
  // An external entity may not stand in an attribute at all.
  EXPECT_FALSE(ParseUntouched(bytes));
}

TEST_F(ExternalReferenceTest, ExternalEntityByFileUrlInAttributeIsRefused) {
  const std::string bytes =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE Karvelo [<!ENTITY ext SYSTEM \"file://" +
      secret_.string() + "\"><!ENTITY pw SYSTEM \"file:///etc/passwd\">]>\n" +
      Document("<Image RelativePath=\"&pw;\"/><Image RelativePath=\"&ext;\"/>");
  EXPECT_FALSE(ParseUntouched(bytes));
}

TEST_F(ExternalReferenceTest, ExternalEntityInTextIsNotRead) {
  const std::string bytes =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE Karvelo [<!ENTITY ext SYSTEM \"" + secret_.string() +
      "\"><!ENTITY pw SYSTEM \"file:///etc/passwd\">]>\n" +
      Document("<Image RelativePath=\"a.png\">&ext;</Image>&pw;<Image RelativePath=\"b.png\"/>",
               "<Wave RelativePath=\"s.wav\">&ext;</Wave>");
  ASSERT_TRUE(ParseUntouched(bytes));
  EXPECT_EQ(last_.images, (Names{"a.png", "b.png"}));
  EXPECT_EQ(last_.waves, Names{"s.wav"});
}

TEST_F(ExternalReferenceTest, ExternalDtdIsNotLoaded) {
  // Were the DTD loaded, &name; would become MARKER1234.png.
  const std::string bytes =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE Karvelo SYSTEM \"" + dtd_.string() + "\">\n" +
      Document("<Image RelativePath=\"&name;\"/><Image RelativePath=\"b.png\"/>");
  if (ParseUntouched(bytes)) {
    EXPECT_EQ(last_.images, (Names{"", "b.png"}));
  }
}

TEST_F(ExternalReferenceTest, ExternalParameterEntityIsNotLoaded) {
  const std::string bytes =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE Karvelo [<!ENTITY % p SYSTEM \"" + dtd_.string() +
      "\"> %p;]>\n" + Document("<Image RelativePath=\"&name;\"/><Image RelativePath=\"b.png\"/>");
  if (ParseUntouched(bytes)) {
    EXPECT_EQ(last_.images, (Names{"", "b.png"}));
  }
}

TEST(ParseProjectFile, InternalEntitiesAreNotExpandedIntoNames) {
  const std::string bytes =
      "<!DOCTYPE Karvelo [<!ENTITY n \"x.png\">]>" +
      Document("<Image RelativePath=\"&n;\"/><Image RelativePath=\"a.png\"/>");
  Result<ProjectFileContents> read = ParseProjectFile(bytes);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().images, (Names{"", "a.png"}));
}

TEST(ParseProjectFile, BillionLaughsEndsWithoutExpanding) {
  // lol9 would expand to 10^9 copies of "lol".
  std::string doctype = "<!DOCTYPE Karvelo [<!ENTITY lol0 \"lol\">";
  for (int level = 1; level <= 9; ++level) {
    doctype += "<!ENTITY lol" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) {
      doctype += "&lol" + std::to_string(level - 1) + ";";
    }
    doctype += "\">";
  }
  doctype += "]>";
  for (const char* body : {"<Image RelativePath=\"&lol9;\"/><Image RelativePath=\"ok.png\"/>",
                           "<Image RelativePath=\"ok.png\">&lol9;</Image>"}) {
    SCOPED_TRACE(body);
    Result<ProjectFileContents> read = ParseProjectFile(doctype + Document(body));
    if (read) {
      for (const std::string& name : read.value().images) {
        EXPECT_LE(name.size(), 6u) << "an entity was expanded";
      }
    } else {
      EXPECT_EQ(read.error().rfind("不是有效的工程文件", 0), 0u) << read.error();
    }
  }
}

}  // namespace
}  // namespace zentora
