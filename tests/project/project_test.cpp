#include "project/project.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <iterator>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace zentora {
namespace {

namespace fs = std::filesystem;
using testing::CTempDir;
using testing::FolderContents;
using testing::ReadText;
using testing::WriteBytes;

constexpr const char* kDemoFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Karvelo Version=\"1.0\"><Pages/><Images><Image RelativePath=\"a.bmp\"/>"
    "<Image RelativePath=\"b.png\"/></Images><Waves><Wave RelativePath=\"s.wav\"/></Waves>"
    "</Karvelo>\n";

std::vector<fs::path> Paths(const CGalleryItemList& list) {
  return list.Snapshot();
}

ino_t Inode(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_ino;
}

// A new project whose pictures a.bmp, b.png and sound s.wav were added into
// the default folder, with a path dialog that answers Demo at L.
class ProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    defaultFolder_ = dir_ / "默认";
    location_ = dir_ / "L";
    fs::create_directories(defaultFolder_);
    fs::create_directories(location_);
    demoFolder_ = location_ / "Demo";
  }

  void AddToDefaultFolder(CGalleryItemList& list, const std::string& name) {
    WriteBytes(defaultFolder_ / name, "content of " + name);
    list.Add(defaultFolder_ / name);
  }

  void AddDemoFiles() {
    AddToDefaultFolder(pictures_, "a.bmp");
    AddToDefaultFolder(pictures_, "b.png");
    AddToDefaultFolder(sounds_, "s.wav");
    project_.SetModified();
  }

  ProjectLists Lists() { return {pictures_, sounds_}; }

  AskProjectPath Answer(std::string name, fs::path location) {
    return [this, name = std::move(name), location = std::move(location)] {
      ++asked_;
      return std::optional<ProjectPathAnswer>(ProjectPathAnswer{name, location});
    };
  }
  AskProjectPath Cancel() {
    return [this] {
      ++asked_;
      return std::optional<ProjectPathAnswer>();
    };
  }
  static AskProjectPath MustNotAsk() {
    return [] {
      ADD_FAILURE() << "the path was asked for again";
      return std::optional<ProjectPathAnswer>();
    };
  }

  // Saves the demo project for the first time and checks it worked.
  void SaveDemo() {
    AddDemoFiles();
    const Outcome outcome = project_.Save(Lists(), Answer("Demo", location_));
    ASSERT_TRUE(outcome.done()) << outcome.message();
  }

  // Checks the project is still the unsaved one of AddDemoFiles().
  void ExpectUnsavedDemo() {
    EXPECT_TRUE(project_.ProjectFolder().empty());
    EXPECT_TRUE(project_.ProjectFileName().empty());
    EXPECT_TRUE(project_.ProjectFilePath().empty());
    EXPECT_EQ(project_.Modified(), 1);
    EXPECT_EQ(project_.GetWorkingFolder().string(), defaultFolder_.string() + "/");
    EXPECT_EQ(Paths(pictures_),
              (std::vector<fs::path>{defaultFolder_ / "a.bmp", defaultFolder_ / "b.png"}));
    EXPECT_EQ(Paths(sounds_), std::vector<fs::path>{defaultFolder_ / "s.wav"});
    EXPECT_EQ(ReadText(defaultFolder_ / "a.bmp"), "content of a.bmp");
    EXPECT_EQ(ReadText(defaultFolder_ / "b.png"), "content of b.png");
    EXPECT_EQ(ReadText(defaultFolder_ / "s.wav"), "content of s.wav");
  }

  CTempDir dir_;
  fs::path defaultFolder_;
  fs::path location_;
  fs::path demoFolder_;
  CProject project_{dir_ / "默认"};
  CGalleryItemList pictures_;
  CGalleryItemList sounds_;
  int asked_ = 0;
};

// --- Folders -----------------------------------------------------------------

TEST_F(ProjectTest, StartsWithoutAProjectFolder) {
  EXPECT_TRUE(project_.ProjectFolder().empty());
  EXPECT_TRUE(project_.ProjectFileName().empty());
  EXPECT_TRUE(project_.ProjectFilePath().empty());
  EXPECT_EQ(project_.Modified(), 0);
  EXPECT_EQ(project_.DefaultFolder().string(), defaultFolder_.string() + "/");
  EXPECT_EQ(project_.GetWorkingFolder().string(), defaultFolder_.string() + "/");
}

TEST(ProjectFolders, DefaultFolderGainsOneSeparator) {
  EXPECT_EQ(CProject("/data/Zentora助手").GetWorkingFolder().string(), "/data/Zentora助手/");
  EXPECT_EQ(CProject("/data/Zentora助手/").GetWorkingFolder().string(), "/data/Zentora助手/");
  EXPECT_EQ(AsFolder("/x/y").string(), "/x/y/");
  EXPECT_EQ(AsFolder("/x/y/").string(), "/x/y/");
  EXPECT_EQ(AsFolder("").string(), "");
}

TEST_F(ProjectTest, AdoptFolderSwitchesTheWorkingFolder) {
  project_.AdoptFolder(dir_ / "adopted", "P.zentoraprj");
  EXPECT_EQ(project_.ProjectFolder().string(), (dir_ / "adopted").string() + "/");
  EXPECT_EQ(project_.ProjectFileName(), "P.zentoraprj");
  EXPECT_EQ(project_.GetWorkingFolder().string(), (dir_ / "adopted").string() + "/");
  EXPECT_EQ(project_.ProjectFilePath(), dir_ / "adopted" / "P.zentoraprj");
  EXPECT_EQ(project_.DefaultFolder().string(), defaultFolder_.string() + "/");
}

// --- First save --------------------------------------------------------------

TEST_F(ProjectTest, FirstSaveMakesTheFolderAndCopiesEveryFile) {
  AddDemoFiles();
  const Outcome outcome = project_.Save(Lists(), Answer("Demo", location_));
  ASSERT_TRUE(outcome.done()) << outcome.message();
  EXPECT_TRUE(outcome.message().empty());
  EXPECT_EQ(asked_, 1);

  ASSERT_TRUE(fs::is_directory(demoFolder_));
  EXPECT_EQ(FolderContents(demoFolder_),
            (std::set<std::string>{"a.bmp", "b.png", "s.wav", "Demo.zentoraprj"}));
  EXPECT_EQ(ReadText(demoFolder_ / "a.bmp"), "content of a.bmp");
  EXPECT_EQ(ReadText(demoFolder_ / "b.png"), "content of b.png");
  EXPECT_EQ(ReadText(demoFolder_ / "s.wav"), "content of s.wav");
  EXPECT_EQ(ReadText(demoFolder_ / "Demo.zentoraprj"), kDemoFile);

  EXPECT_EQ(project_.ProjectFolder().string(), demoFolder_.string() + "/");
  EXPECT_EQ(project_.ProjectFileName(), "Demo.zentoraprj");
  EXPECT_EQ(project_.ProjectFilePath(), demoFolder_ / "Demo.zentoraprj");
  EXPECT_EQ(project_.GetWorkingFolder().string(), demoFolder_.string() + "/");
  EXPECT_EQ(project_.Modified(), 0);
  EXPECT_EQ(Paths(pictures_),
            (std::vector<fs::path>{demoFolder_ / "a.bmp", demoFolder_ / "b.png"}));
  EXPECT_EQ(Paths(sounds_), std::vector<fs::path>{demoFolder_ / "s.wav"});

  // The copies in the default folder stay.
  EXPECT_EQ(FolderContents(defaultFolder_), (std::set<std::string>{"a.bmp", "b.png", "s.wav"}));
  EXPECT_EQ(ReadText(defaultFolder_ / "a.bmp"), "content of a.bmp");
}

TEST_F(ProjectTest, FirstSaveIntoAnExistingFolderReplacesFilesOfTheSameName) {
  fs::create_directories(demoFolder_);
  WriteBytes(demoFolder_ / "a.bmp", "an older a.bmp, longer than the new one");
  WriteBytes(demoFolder_ / "other.txt", "left alone");
  SaveDemo();
  EXPECT_EQ(ReadText(demoFolder_ / "a.bmp"), "content of a.bmp");
  EXPECT_EQ(ReadText(demoFolder_ / "other.txt"), "left alone");
  EXPECT_EQ(ReadText(demoFolder_ / "Demo.zentoraprj"), kDemoFile);
}

TEST_F(ProjectTest, LocationTypedWithATrailingSeparatorGivesTheSameFolder) {
  AddDemoFiles();
  const Outcome outcome = project_.Save(Lists(), Answer("Demo", location_.string() + "//"));
  ASSERT_TRUE(outcome.done()) << outcome.message();
  EXPECT_EQ(project_.ProjectFolder().string(), demoFolder_.string() + "/");
  EXPECT_EQ(Paths(pictures_),
            (std::vector<fs::path>{demoFolder_ / "a.bmp", demoFolder_ / "b.png"}));
}

TEST_F(ProjectTest, EmptyProjectSavesTheBareSkeleton) {
  const Outcome outcome = project_.Save(Lists(), Answer("空", location_));
  ASSERT_TRUE(outcome.done()) << outcome.message();
  EXPECT_EQ(ReadText(location_ / "空" / "空.zentoraprj"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images/><Waves/></Karvelo>\n");
  EXPECT_EQ(FolderContents(location_ / "空"), std::set<std::string>{"空.zentoraprj"});
}

TEST_F(ProjectTest, CancelledPathQuestionChangesNothingAndIsAskedAgain) {
  AddDemoFiles();
  const Outcome cancelled = project_.Save(Lists(), Cancel());
  EXPECT_TRUE(cancelled.cancelled());
  EXPECT_EQ(asked_, 1);
  ExpectUnsavedDemo();
  EXPECT_TRUE(FolderContents(location_).empty());

  const Outcome saved = project_.Save(Lists(), Answer("Demo", location_));
  ASSERT_TRUE(saved.done()) << saved.message();
  EXPECT_EQ(asked_, 2);
  EXPECT_EQ(ReadText(demoFolder_ / "Demo.zentoraprj"), kDemoFile);
}

TEST_F(ProjectTest, NoPathQuestionMeansCancelled) {
  AddDemoFiles();
  EXPECT_TRUE(project_.Save(Lists(), nullptr).cancelled());
  ExpectUnsavedDemo();
}

// --- Later saves -------------------------------------------------------------

TEST_F(ProjectTest, LaterSaveCopiesNothingAndDoesNotAsk) {
  SaveDemo();
  // Added after the first save: the add command copied it straight into the
  // project folder.
  WriteBytes(demoFolder_ / "c.jpg", "content of c.jpg");
  pictures_.Add(demoFolder_ / "c.jpg");
  project_.SetModified();
  // A copy replaces its target through a new file, so the inode would change.
  const ino_t before[] = {Inode(demoFolder_ / "a.bmp"), Inode(demoFolder_ / "b.png"),
                          Inode(demoFolder_ / "c.jpg"), Inode(demoFolder_ / "s.wav")};

  const Outcome outcome = project_.Save(Lists(), MustNotAsk());
  ASSERT_TRUE(outcome.done()) << outcome.message();
  const ino_t after[] = {Inode(demoFolder_ / "a.bmp"), Inode(demoFolder_ / "b.png"),
                         Inode(demoFolder_ / "c.jpg"), Inode(demoFolder_ / "s.wav")};
  EXPECT_TRUE(std::equal(std::begin(before), std::end(before), std::begin(after)));
  EXPECT_EQ(ReadText(demoFolder_ / "Demo.zentoraprj"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images><Image RelativePath=\"a.bmp\"/>"
            "<Image RelativePath=\"b.png\"/><Image RelativePath=\"c.jpg\"/></Images>"
            "<Waves><Wave RelativePath=\"s.wav\"/></Waves></Karvelo>\n");
  EXPECT_EQ(project_.Modified(), 0);
  EXPECT_EQ(FolderContents(demoFolder_),
            (std::set<std::string>{"a.bmp", "b.png", "c.jpg", "s.wav", "Demo.zentoraprj"}));
}

TEST_F(ProjectTest, SaveWithNothingModifiedStillRewritesTheFile) {
  SaveDemo();
  ASSERT_EQ(project_.Modified(), 0);
  WriteBytes(demoFolder_ / "Demo.zentoraprj", "scribbled over");
  const Outcome outcome = project_.Save(Lists(), MustNotAsk());
  ASSERT_TRUE(outcome.done()) << outcome.message();
  EXPECT_EQ(ReadText(demoFolder_ / "Demo.zentoraprj"), kDemoFile);
  EXPECT_EQ(project_.Modified(), 0);
}

TEST_F(ProjectTest, LaterSaveCopiesAnEntryFromElsewhereIntoTheFolder) {
  SaveDemo();
  WriteBytes(dir_ / "elsewhere.png", "from elsewhere");
  pictures_.Add(dir_ / "elsewhere.png");
  const Outcome outcome = project_.Save(Lists(), MustNotAsk());
  ASSERT_TRUE(outcome.done()) << outcome.message();
  EXPECT_EQ(pictures_.GetPath(2), demoFolder_ / "elsewhere.png");
  EXPECT_EQ(ReadText(demoFolder_ / "elsewhere.png"), "from elsewhere");
  EXPECT_EQ(ReadText(dir_ / "elsewhere.png"), "from elsewhere");
}

TEST_F(ProjectTest, AdoptedFolderIsSavedWithoutAsking) {
  fs::create_directories(dir_ / "adopted");
  project_.AdoptFolder(dir_ / "adopted", "P.zentoraprj");
  AddToDefaultFolder(sounds_, "s.wav");
  const Outcome outcome = project_.Save(Lists(), MustNotAsk());
  ASSERT_TRUE(outcome.done()) << outcome.message();
  EXPECT_EQ(ReadText(dir_ / "adopted" / "P.zentoraprj"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images/><Waves><Wave RelativePath=\"s.wav\"/>"
            "</Waves></Karvelo>\n");
  EXPECT_EQ(sounds_.GetPath(0), dir_ / "adopted" / "s.wav");
}

// --- Save as and a new project ---------------------------------------------

TEST_F(ProjectTest, SaveAsAsksAgainAndMovesTheProjectWithItsFiles) {
  SaveDemo();
  const Outcome outcome = project_.SaveAs(Lists(), Answer("Copy", location_));
  ASSERT_TRUE(outcome.done()) << outcome.message();
  EXPECT_EQ(asked_, 2);
  const fs::path copy = location_ / "Copy";
  EXPECT_EQ(FolderContents(copy),
            (std::set<std::string>{"a.bmp", "b.png", "s.wav", "Copy.zentoraprj"}));
  EXPECT_EQ(ReadText(copy / "Copy.zentoraprj"), kDemoFile);
  EXPECT_EQ(project_.ProjectFilePath(), copy / "Copy.zentoraprj");
  EXPECT_EQ(Paths(pictures_), (std::vector<fs::path>{copy / "a.bmp", copy / "b.png"}));
  // The old project stays as it was saved.
  EXPECT_EQ(ReadText(demoFolder_ / "Demo.zentoraprj"), kDemoFile);
}

TEST_F(ProjectTest, SaveAsCancelledKeepsTheProjectWhereItWas) {
  SaveDemo();
  project_.SetModified();
  EXPECT_TRUE(project_.SaveAs(Lists(), Cancel()).cancelled());
  EXPECT_EQ(project_.ProjectFilePath(), demoFolder_ / "Demo.zentoraprj");
  EXPECT_EQ(project_.Modified(), 1);
  EXPECT_EQ(pictures_.GetPath(0), demoFolder_ / "a.bmp");
}

TEST_F(ProjectTest, ForgetStartsAnEmptyProjectInTheDefaultFolder) {
  SaveDemo();
  project_.SetModified();
  project_.Forget(Lists());
  EXPECT_EQ(pictures_.GetCount(), 0);
  EXPECT_EQ(sounds_.GetCount(), 0);
  EXPECT_TRUE(project_.ProjectFilePath().empty());
  EXPECT_EQ(project_.Modified(), 0);
  EXPECT_EQ(project_.GetWorkingFolder().string(), defaultFolder_.string() + "/");
  // The next save is a first save again.
  ASSERT_TRUE(project_.Save(Lists(), Answer("Next", location_)).done());
  EXPECT_EQ(asked_, 2);
  EXPECT_EQ(FolderContents(demoFolder_),
            (std::set<std::string>{"a.bmp", "b.png", "s.wav", "Demo.zentoraprj"}));
}

// --- Round trips ---------------------------------------------------------------

TEST_F(ProjectTest, SaveAndOpenKeepChineseAndMarkupCharactersInNames) {
  const std::vector<std::string> pictureNames = {"图片一.png", "a&\"<b>.bmp", "它's.gif"};
  for (const std::string& name : pictureNames) {
    AddToDefaultFolder(pictures_, name);
  }
  AddToDefaultFolder(sounds_, "声音.wav");
  AddToDefaultFolder(sounds_, "x&y.wav");
  const Outcome outcome = project_.Save(Lists(), Answer("演示", dir_ / "工程"));
  // The location must exist: only the last level is made.
  ASSERT_TRUE(outcome.failed());
  fs::create_directories(dir_ / "工程");
  const Outcome saved = project_.Save(Lists(), Answer("演示", dir_ / "工程"));
  ASSERT_TRUE(saved.done()) << saved.message();
  const fs::path folder = dir_ / "工程" / "演示";
  EXPECT_EQ(ReadText(folder / "演示.zentoraprj"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images>"
            "<Image RelativePath=\"图片一.png\"/>"
            "<Image RelativePath=\"a&amp;&quot;&lt;b&gt;.bmp\"/>"
            "<Image RelativePath=\"它's.gif\"/>"
            "</Images><Waves><Wave RelativePath=\"声音.wav\"/>"
            "<Wave RelativePath=\"x&amp;y.wav\"/></Waves></Karvelo>\n");

  CProject reopened(dir_ / "其他");
  CGalleryItemList openedPictures;
  CGalleryItemList openedSounds;
  const Status opened = reopened.Open(folder / "演示.zentoraprj", {openedPictures, openedSounds});
  ASSERT_TRUE(opened) << opened.message();
  EXPECT_EQ(reopened.ProjectFolder().string(), folder.string() + "/");
  EXPECT_EQ(reopened.ProjectFileName(), "演示.zentoraprj");
  EXPECT_EQ(Paths(openedPictures), Paths(pictures_));
  EXPECT_EQ(Paths(openedSounds), Paths(sounds_));
  EXPECT_EQ(
      Paths(openedPictures),
      (std::vector<fs::path>{folder / "图片一.png", folder / "a&\"<b>.bmp", folder / "它's.gif"}));
  for (const fs::path& path : Paths(openedPictures)) {
    EXPECT_EQ(ReadText(path), "content of " + path.filename().string());
  }
}

TEST_F(ProjectTest, EntryThatNamesNoFileKeepsItsPlaceThroughSaveAndOpen) {
  AddToDefaultFolder(pictures_, "a.png");
  pictures_.Add(fs::path());
  AddToDefaultFolder(pictures_, "b.png");
  const Outcome outcome = project_.Save(Lists(), Answer("P", location_));
  ASSERT_TRUE(outcome.done()) << outcome.message();
  const fs::path folder = location_ / "P";
  EXPECT_EQ(ReadText(folder / "P.zentoraprj"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Karvelo Version=\"1.0\"><Pages/><Images><Image RelativePath=\"a.png\"/>"
            "<Image RelativePath=\"\"/><Image RelativePath=\"b.png\"/></Images><Waves/>"
            "</Karvelo>\n");
  EXPECT_EQ(Paths(pictures_),
            (std::vector<fs::path>{folder / "a.png", fs::path(), folder / "b.png"}));

  CProject reopened(defaultFolder_);
  CGalleryItemList openedPictures;
  CGalleryItemList openedSounds;
  ASSERT_TRUE(reopened.Open(folder / "P.zentoraprj", {openedPictures, openedSounds}));
  EXPECT_EQ(Paths(openedPictures), Paths(pictures_));
}

// --- Failed saves --------------------------------------------------------------

TEST(SaveFailureMessage, PrefixesTheStep) {
  EXPECT_EQ(SaveFailureMessage(Outcome::Failed("写入工程文件 /x（磁盘已满）")),
            "保存工程失败：写入工程文件 /x（磁盘已满）");
}

TEST_F(ProjectTest, LocationThatIsAFileFailsAndChangesNothing) {
  AddDemoFiles();
  WriteBytes(dir_ / "plain-file", "not a folder");
  const Outcome outcome = project_.Save(Lists(), Answer("Demo", dir_ / "plain-file"));
  ASSERT_TRUE(outcome.failed());
  const std::string message = SaveFailureMessage(outcome);
  EXPECT_EQ(message.rfind("保存工程失败：", 0), 0u) << message;
  EXPECT_NE(message.find("plain-file/Demo"), std::string::npos) << message;
  ExpectUnsavedDemo();
  EXPECT_EQ(ReadText(dir_ / "plain-file"), "not a folder");

  // Still no folder, so the next save asks again.
  project_.Save(Lists(), Answer("Demo", location_));
  EXPECT_EQ(asked_, 2);
}

TEST_F(ProjectTest, MissingLocationFailsAndChangesNothing) {
  AddDemoFiles();
  const Outcome outcome = project_.Save(Lists(), Answer("Demo", dir_ / "no" / "such" / "place"));
  ASSERT_TRUE(outcome.failed());
  EXPECT_EQ(SaveFailureMessage(outcome).rfind("保存工程失败：创建工程文件夹 ", 0), 0u)
      << SaveFailureMessage(outcome);
  ExpectUnsavedDemo();
  EXPECT_FALSE(fs::exists(dir_ / "no"));
}

TEST_F(ProjectTest, FailedCopyFailsTheFirstSaveAndChangesNothingInMemory) {
  AddDemoFiles();
  fs::remove(defaultFolder_ / "b.png");
  const Outcome outcome = project_.Save(Lists(), Answer("Demo", location_));
  ASSERT_TRUE(outcome.failed());
  const std::string message = SaveFailureMessage(outcome);
  EXPECT_EQ(message.rfind("保存工程失败：复制文件 ", 0), 0u) << message;
  EXPECT_NE(message.find("b.png"), std::string::npos) << message;
  EXPECT_TRUE(project_.ProjectFolder().empty());
  EXPECT_TRUE(project_.ProjectFileName().empty());
  EXPECT_EQ(project_.Modified(), 1);
  EXPECT_EQ(Paths(pictures_),
            (std::vector<fs::path>{defaultFolder_ / "a.bmp", defaultFolder_ / "b.png"}));
  EXPECT_EQ(Paths(sounds_), std::vector<fs::path>{defaultFolder_ / "s.wav"});
  EXPECT_FALSE(fs::exists(demoFolder_ / "Demo.zentoraprj"));
}

TEST_F(ProjectTest, FailedCopyOnALaterSaveKeepsTheOldFile) {
  SaveDemo();
  WriteBytes(dir_ / "gone.wav", "soon gone");
  sounds_.Add(dir_ / "gone.wav");
  project_.SetModified();
  fs::remove(dir_ / "gone.wav");
  const Outcome outcome = project_.Save(Lists(), MustNotAsk());
  ASSERT_TRUE(outcome.failed());
  EXPECT_EQ(ReadText(demoFolder_ / "Demo.zentoraprj"), kDemoFile);
  EXPECT_EQ(project_.Modified(), 1);
  EXPECT_EQ(sounds_.GetPath(1), dir_ / "gone.wav");
  EXPECT_EQ(project_.ProjectFolder().string(), demoFolder_.string() + "/");
}

TEST_F(ProjectTest, NameTheFileCannotHoldFailsAndKeepsTheOldFile) {
  SaveDemo();
  // A GBK-named file that reached the folder by other means than the add
  // command, which would have refused it.
  const fs::path gbk = demoFolder_ / "\xB2\xE2.png";
  WriteBytes(gbk, "gbk");
  pictures_.Add(gbk);
  project_.SetModified();
  const Outcome outcome = project_.Save(Lists(), MustNotAsk());
  ASSERT_TRUE(outcome.failed());
  EXPECT_EQ(SaveFailureMessage(outcome).rfind("保存工程失败：写入工程文件 ", 0), 0u)
      << SaveFailureMessage(outcome);
  EXPECT_EQ(ReadText(demoFolder_ / "Demo.zentoraprj"), kDemoFile);
  EXPECT_EQ(project_.Modified(), 1);
  EXPECT_EQ(pictures_.GetPath(2), gbk);
}

TEST_F(ProjectTest, WriteThatRunsOutOfSpaceKeepsTheOldFile) {
  SaveDemo();
  for (int i = 0; i < 20; ++i) {
    const fs::path path = demoFolder_ / ("picture-" + std::to_string(i) + ".png");
    WriteBytes(path, "x");
    pictures_.Add(path);
  }
  project_.SetModified();
  Outcome outcome = Outcome::Cancelled();
  {
    // Room for the old file's size but not for the new, longer one.
    const testing::CFileSizeLimit limit(std::string_view(kDemoFile).size());
    outcome = project_.Save(Lists(), MustNotAsk());
  }
  ASSERT_TRUE(outcome.failed());
  EXPECT_EQ(SaveFailureMessage(outcome).rfind("保存工程失败：写入工程文件 ", 0), 0u)
      << SaveFailureMessage(outcome);
  EXPECT_EQ(ReadText(demoFolder_ / "Demo.zentoraprj"), kDemoFile);
  EXPECT_EQ(project_.Modified(), 1);
  // No temporary file is left behind.
  std::set<std::string> expected = {"a.bmp", "b.png", "s.wav", "Demo.zentoraprj"};
  for (int i = 0; i < 20; ++i) {
    expected.insert("picture-" + std::to_string(i) + ".png");
  }
  EXPECT_EQ(FolderContents(demoFolder_), expected);
}

TEST_F(ProjectTest, ProjectFileNameTakenByAFolderFails) {
  fs::create_directories(dir_ / "P" / "P.zentoraprj" / "inside");
  project_.AdoptFolder(dir_ / "P", "P.zentoraprj");
  project_.SetModified();
  AddToDefaultFolder(pictures_, "a.png");
  const Outcome outcome = project_.Save(Lists(), MustNotAsk());
  ASSERT_TRUE(outcome.failed());
  EXPECT_EQ(project_.Modified(), 1);
  EXPECT_EQ(pictures_.GetPath(0), defaultFolder_ / "a.png");
  EXPECT_TRUE(fs::is_directory(dir_ / "P" / "P.zentoraprj" / "inside"));
  EXPECT_EQ(FolderContents(dir_ / "P"), (std::set<std::string>{"P.zentoraprj", "a.png"}));
}

// --- Open ----------------------------------------------------------------------

TEST_F(ProjectTest, OpenReplacesTheListsAndClearsModified) {
  AddDemoFiles();
  pictures_.SetSelected(1);
  ASSERT_EQ(project_.Modified(), 1);
  const fs::path file = dir_ / "其他" / "其他.zentoraprj";
  fs::create_directories(file.parent_path());
  WriteBytes(file, "<Karvelo><Images><Image RelativePath=\"x.png\"/></Images><Waves/></Karvelo>");

  const Status opened = project_.Open(file, Lists());
  ASSERT_TRUE(opened) << opened.message();
  EXPECT_EQ(project_.Modified(), 0);
  EXPECT_EQ(Paths(pictures_), std::vector<fs::path>{dir_ / "其他" / "x.png"});
  EXPECT_EQ(pictures_.GetSelected(), -1);
  EXPECT_TRUE(Paths(sounds_).empty());
  // The files of the lists that were replaced stay on disk.
  EXPECT_EQ(FolderContents(defaultFolder_), (std::set<std::string>{"a.bmp", "b.png", "s.wav"}));
}

TEST_F(ProjectTest, OpenSwitchesTheWorkingFolder) {
  EXPECT_EQ(project_.GetWorkingFolder().string(), defaultFolder_.string() + "/");
  const fs::path folder = dir_ / "打开";
  fs::create_directories(folder);
  WriteBytes(folder / "p.zentoraprj", "<Karvelo/>");
  ASSERT_TRUE(project_.Open(folder / "p.zentoraprj", Lists()));
  EXPECT_EQ(project_.GetWorkingFolder().string(), folder.string() + "/");
  EXPECT_EQ(project_.ProjectFolder().string(), folder.string() + "/");
  EXPECT_EQ(project_.ProjectFileName(), "p.zentoraprj");
  EXPECT_EQ(project_.DefaultFolder().string(), defaultFolder_.string() + "/");
}

TEST_F(ProjectTest, OpenListsMissingFilesAndEntriesThatNameNoFile) {
  const fs::path folder = dir_ / "O";
  fs::create_directories(folder);
  WriteBytes(folder / "o.zentoraprj",
             "<Karvelo><Images>"
             "<Image RelativePath=\"missing.png\"/>"
             "<Image/>"
             "<Image RelativePath=\"sub/x.png\"/>"
             "<Image RelativePath=\"..\\y.png\"/>"
             "<Image RelativePath=\"a/..\"/>"
             "<Image RelativePath=\".\"/>"
             "<Image RelativePath=\"\"/>"
             "<Image RelativePath=\"/etc/passwd\"/>"
             "</Images><Waves><Wave RelativePath=\"../s.wav\"/><Wave/></Waves></Karvelo>");
  ASSERT_TRUE(project_.Open(folder / "o.zentoraprj", Lists()));
  EXPECT_EQ(Paths(pictures_), (std::vector<fs::path>{folder / "missing.png", fs::path(),
                                                     folder / "x.png", folder / "y.png", fs::path(),
                                                     fs::path(), fs::path(), folder / "passwd"}));
  EXPECT_EQ(Paths(sounds_), (std::vector<fs::path>{folder / "s.wav", fs::path()}));
}

struct UnopenableCase {
  const char* label;
  const char* contents;  // nullptr: no file at all
};

void PrintTo(const UnopenableCase& c, std::ostream* os) {
  *os << c.label;
}

class OpenFailureTest : public ProjectTest, public ::testing::WithParamInterface<UnopenableCase> {};

TEST_P(OpenFailureTest, ChangesNothing) {
  SaveDemo();
  pictures_.SetSelected(1);
  project_.SetModified();
  const fs::path file = dir_ / "bad.zentoraprj";
  if (GetParam().contents != nullptr) {
    WriteBytes(file, GetParam().contents);
  }
  const Status opened = project_.Open(file, Lists());
  ASSERT_FALSE(opened);
  EXPECT_FALSE(opened.message().empty());
  EXPECT_EQ(project_.ProjectFolder().string(), demoFolder_.string() + "/");
  EXPECT_EQ(project_.ProjectFileName(), "Demo.zentoraprj");
  EXPECT_EQ(project_.Modified(), 1);
  EXPECT_EQ(Paths(pictures_),
            (std::vector<fs::path>{demoFolder_ / "a.bmp", demoFolder_ / "b.png"}));
  EXPECT_EQ(pictures_.GetSelected(), 1);
  EXPECT_EQ(Paths(sounds_), std::vector<fs::path>{demoFolder_ / "s.wav"});
}

INSTANTIATE_TEST_SUITE_P(
    Project, OpenFailureTest,
    ::testing::Values(UnopenableCase{"Missing", nullptr}, UnopenableCase{"Empty", ""},
                      UnopenableCase{"NotWellFormed",
                                     "<Karvelo><Images><Image RelativePath=\"x.png\">"},
                      UnopenableCase{"NotXml", "a.png\r\nb.png\r\n"}),
    [](const ::testing::TestParamInfo<UnopenableCase>& param) { return param.param.label; });

TEST_F(ProjectTest, OpenOfAFolderFailsAndChangesNothing) {
  AddDemoFiles();
  EXPECT_FALSE(project_.Open(location_, Lists()));
  ExpectUnsavedDemo();
}

}  // namespace
}  // namespace zentora
