// CUsbLink against the simulated module: which device it opens, the calls it
// makes and their order, and how each failure of the module reaches it.

#include "download/usb_link.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "download/download_protocol.h"
#include "modsim_fixture.h"

namespace zentora::testing {
namespace {

using Lines = std::vector<std::string>;

// A last frame carrying `text`.
DownloadFrame FrameOf(const std::string& text) {
  DownloadFrame frame{};
  FillDownloadFrame(frame,
                    std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  return frame;
}

class UsbLinkTest : public ModsimTest {};

TEST_F(UsbLinkTest, ConstructionScansTheBusesAndOpensNothing) {
  CUsbLink link;
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(Log(), ScanLines());
  EXPECT_EQ(OpenHandles(), 0);
}

TEST_F(UsbLinkTest, EveryLinkScansAgain) {
  { CUsbLink first; }
  CUsbLink second;
  EXPECT_EQ(Log(), Join({ScanLines(), ScanLines(1, false)}));
}

TEST_F(UsbLinkTest, SendsACodeAndAFrameAndClosesInOrder) {
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  EXPECT_TRUE(link.IsOpen());
  EXPECT_EQ(OpenHandles(), 1);
  EXPECT_TRUE(link.SendCommand(DL_IMAGE_DATA));
  const DownloadFrame frame = FrameOf("hello");
  EXPECT_TRUE(link.SendBlock(frame.data(), static_cast<int>(frame.size())));
  link.Close();
  EXPECT_FALSE(link.IsOpen());

  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CodeLines(1, 0x92, "image.bin"),
                         FrameLines(1, 1, 5),
                         {"saved image.bin 5 bytes"},
                         CloseLines(1)}));
  EXPECT_EQ(Violations(), 0);
  EXPECT_EQ(OpenHandles(), 0);
  EXPECT_EQ(ReadText(Received() / "image.bin"), "hello");
}

TEST_F(UsbLinkTest, NoModuleMeansNoOpenAndNoTransfer) {
  Configure({{"ZENTORA_MODSIM_MODULES", "0"}});
  CUsbLink link;
  EXPECT_FALSE(link.Open());
  EXPECT_FALSE(link.IsOpen());
  const DownloadFrame frame = FrameOf("x");
  EXPECT_FALSE(link.SendCommand(DL_IMAGE_INDEX));
  EXPECT_FALSE(link.SendBlock(frame.data(), static_cast<int>(frame.size())));
  link.Close();
  // The keyboard is seen and left alone.
  EXPECT_EQ(Log(), Join({ScanLines(0), {BussesLine(0)}}));
  EXPECT_EQ(BussesLine(0), "usb_get_busses -> bus 001 [001 046d:c31c], bus 002 []");
  EXPECT_EQ(Violations(), 0);
}

TEST_F(UsbLinkTest, OfTwoModulesTheLaterInWalkOrderIsUsed) {
  Configure({{"ZENTORA_MODSIM_MODULES", "2"}});
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  // The first match was opened and claimed, then released and closed again.
  EXPECT_EQ(OpenHandles(), 1);
  EXPECT_TRUE(link.SendCommand(DL_WAVE_INDEX));
  link.Close();

  EXPECT_EQ(BussesLine(2),
            "usb_get_busses -> bus 001 [001 046d:c31c, 002 1514:5534], bus 002 [003 1514:5534]");
  EXPECT_EQ(Log(), Join({ScanLines(2),
                         {BussesLine(2)},
                         OpenLines(1),
                         CloseLines(1),
                         OpenLines(2, "002", "003"),
                         CodeLines(2, 0x94, "wave.idx"),
                         CloseLines(2),
                         {"discarded unfinished wave.idx 0 bytes in 0 frames"}}));
  EXPECT_EQ(Violations(), 0);
  EXPECT_EQ(OpenHandles(), 0);
}

TEST_F(UsbLinkTest, OfThreeModulesTheLastIsUsed) {
  Configure({{"ZENTORA_MODSIM_MODULES", "3"}});
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  EXPECT_EQ(Log(), Join({ScanLines(3),
                         {BussesLine(3)},
                         OpenLines(1),
                         CloseLines(1),
                         OpenLines(2, "002", "003"),
                         CloseLines(2),
                         OpenLines(3, "002", "004")}));
  EXPECT_EQ(OpenHandles(), 1);
}

TEST_F(UsbLinkTest, WhenTheLastModuleCannotBeOpenedTheLinkStaysClosed) {
  // The first module opens; the second, the one that counts, does not.
  Configure({{"ZENTORA_MODSIM_MODULES", "2"}, {"ZENTORA_MODSIM_OPEN_FAIL_AFTER", "1"}});
  CUsbLink link;
  EXPECT_FALSE(link.Open());
  EXPECT_FALSE(link.SendCommand(DL_IMAGE_INDEX));
  EXPECT_EQ(Log(), Join({ScanLines(2),
                         {BussesLine(2)},
                         OpenLines(1),
                         CloseLines(1),
                         {"usb_open bus=002 dev=003 -> NULL (injected failure after 1 opens)"}}));
  EXPECT_EQ(OpenHandles(), 0);
}

TEST_F(UsbLinkTest, TransfersOnALinkWhoseOpenFailedSendNothing) {
  Configure({{"ZENTORA_MODSIM_OPEN_FAIL_AFTER", "0"}});
  CUsbLink link;
  EXPECT_FALSE(link.Open());
  const DownloadFrame frame = FrameOf("x");
  EXPECT_FALSE(link.SendCommand(DL_IMAGE_INDEX));
  EXPECT_FALSE(link.SendBlock(frame.data(), static_cast<int>(frame.size())));
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         {"usb_open bus=001 dev=002 -> NULL (injected failure after 0 opens)"}}));
  EXPECT_EQ(Violations(), 0);
}

TEST_F(UsbLinkTest, TransfersBeforeOpenSendNothing) {
  CUsbLink link;
  EXPECT_FALSE(link.SendCommand(DL_IMAGE_INDEX));
  EXPECT_EQ(Log(), ScanLines());
}

class WrongAcknowledgementTest : public UsbLinkTest,
                                 public ::testing::WithParamInterface<const char*> {};

TEST_P(WrongAcknowledgementTest, FailsTheTransferThoughTheWriteWentThrough) {
  Configure({{"ZENTORA_MODSIM_ACK", GetParam()}});
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  EXPECT_FALSE(link.SendCommand(DL_IMAGE_INDEX));
  // A failed transfer leaves the link open; the caller closes it.
  EXPECT_TRUE(link.IsOpen());
  link.Close();
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CodeLines(1, 0x90, "image.idx", GetParam()),
                         CloseLines(1),
                         // The module took the code, though its answer was not the one the link
                         // waits for.
                         {"discarded unfinished image.idx 0 bytes in 0 frames"}}));
}

INSTANTIATE_TEST_SUITE_P(Bytes, WrongAcknowledgementTest,
                         ::testing::Values("0x00", "0xcd", "0xcb", "0x4c", "0xff"));

TEST_F(UsbLinkTest, RefusedFrameFailsTheBlock) {
  // The code is accepted, the frame answered with 0x00.
  Configure({{"ZENTORA_MODSIM_BAD_ACK_AFTER", "1"}});
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  ASSERT_TRUE(link.SendCommand(DL_WAVE_DATA));
  const DownloadFrame frame = FrameOf("abc");
  EXPECT_FALSE(link.SendBlock(frame.data(), static_cast<int>(frame.size())));
  link.Close();
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CodeLines(1, 0x95, "wave.bin"),
                         FrameLines(1, 1, 3, "0x00, injected"),
                         CloseLines(1),
                         {"discarded unfinished wave.bin 0 bytes in 0 frames"}}));
  EXPECT_FALSE(std::filesystem::exists(Received() / "wave.bin"));
}

TEST_F(UsbLinkTest, NoAnswerFailsTheTransfer) {
  Configure({{"ZENTORA_MODSIM_SILENT_AFTER", "0"}, {"ZENTORA_MODSIM_HANG_MS", "0"}});
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  EXPECT_FALSE(link.SendCommand(DL_IMAGE_INDEX));
  EXPECT_TRUE(link.IsOpen());
  link.Close();
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         {"usb_bulk_write handle=1 ep=0x03 len=1 -> 1 (code 0x90 image.idx)",
                          "usb_bulk_read handle=1 ep=0x81 len=1 -> -110 (no answer, waited 0 ms)"},
                         CloseLines(1)}));
  EXPECT_EQ(Violations(), 0);
}

TEST_F(UsbLinkTest, WaitsFiveSecondsForAnAnswer) {
  // Without a hang time of its own the simulator waits as long as the link
  // asks it to, and logs that time.
  Configure({{"ZENTORA_MODSIM_SILENT_AFTER", "1"}});
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  ASSERT_TRUE(link.SendCommand(DL_IMAGE_INDEX));
  const DownloadFrame frame = FrameOf("x");
  EXPECT_FALSE(link.SendBlock(frame.data(), static_cast<int>(frame.size())));
  const Lines reads = LogLines("usb_bulk_read");
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_EQ(reads[1], "usb_bulk_read handle=1 ep=0x81 len=1 -> -110 (no answer, waited 5000 ms)");
}

TEST_F(UsbLinkTest, FailedWriteIsNotFollowedByARead) {
  Configure({{"ZENTORA_MODSIM_WRITE_FAIL_AFTER", "1"}});
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  ASSERT_TRUE(link.SendCommand(DL_IMAGE_INDEX));
  const DownloadFrame frame = FrameOf("x");
  EXPECT_FALSE(link.SendBlock(frame.data(), static_cast<int>(frame.size())));
  link.Close();
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CodeLines(1, 0x90, "image.idx"),
                         {"usb_bulk_write handle=1 ep=0x02 len=2050 -> -5 (injected failure after "
                          "1 transfers)"},
                         CloseLines(1),
                         {"discarded unfinished image.idx 0 bytes in 0 frames"}}));
  EXPECT_EQ(Violations(), 0);
}

TEST_F(UsbLinkTest, ModuleUnpluggedAfterOpeningIsReportedGone) {
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  // A restart forgets every handle, as unplugging the module would.
  control_.reset();
  EXPECT_EQ(link.SendCommand(DL_IMAGE_INDEX).message(), "显示模块已断开连接");
}

TEST_F(UsbLinkTest, CloseTwiceReleasesAndClosesOnce) {
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  link.Close();
  link.Close();
  EXPECT_EQ(Log(), Join({ScanLines(), {BussesLine()}, OpenLines(1), CloseLines(1)}));
  EXPECT_EQ(Violations(), 0);
}

TEST_F(UsbLinkTest, ReleasesTheInterfaceBeforeClosing) {
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  link.Close();
  const Lines log = Log();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[log.size() - 2], "usb_release_interface handle=1 interface=0 -> 0");
  EXPECT_EQ(log[log.size() - 1], "usb_close handle=1 -> 0");
  // Closing a claimed handle would be a violation.
  EXPECT_EQ(Violations(), 0);
}

TEST_F(UsbLinkTest, DestructorCloses) {
  {
    CUsbLink link;
    ASSERT_TRUE(link.Open());
    EXPECT_EQ(OpenHandles(), 1);
  }
  EXPECT_EQ(OpenHandles(), 0);
  EXPECT_EQ(Log(), Join({ScanLines(), {BussesLine()}, OpenLines(1), CloseLines(1)}));
  EXPECT_EQ(Violations(), 0);
}

TEST_F(UsbLinkTest, DestructorOfAClosedLinkCallsNothing) {
  {
    CUsbLink link;
    ASSERT_TRUE(link.Open());
    link.Close();
  }
  EXPECT_EQ(Log(), Join({ScanLines(), {BussesLine()}, OpenLines(1), CloseLines(1)}));
}

TEST_F(UsbLinkTest, OpenAgainClosesTheEarlierHandleFirst) {
  CUsbLink link;
  ASSERT_TRUE(link.Open());
  ASSERT_TRUE(link.Open());
  EXPECT_EQ(OpenHandles(), 1);
  EXPECT_EQ(Log(), Join({ScanLines(),
                         {BussesLine()},
                         OpenLines(1),
                         CloseLines(1),
                         {BussesLine()},
                         OpenLines(2)}));
  EXPECT_EQ(Violations(), 0);
}

}  // namespace
}  // namespace zentora::testing
