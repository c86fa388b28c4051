// SPDX-License-Identifier: GPL-3.0-or-later
// File transfer: the progress the protocol programs print, a file sent as it is against a
// port that holds bytes back, and a protocol's program bridged to the port (faked here; the
// Qt tests run lrzsz's own programs over a pty).
#include "transfer/file_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_panel_view.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"

namespace korvani::transfer {
namespace {

TEST(ProgressReaderTest, ReadsWhatEachProgramPrints) {
  struct Case {
    const char* printed;
    std::int64_t bytes;
    std::optional<std::int64_t> total;
  };
  const Case cases[] = {
      {"Sending: a.bin\r\nBytes Sent:   2048/ 300000   BPS:27846 ETA 00:10  \r", 2048, 300000},  // sz
      {"Bytes Sent: 299008/ 300000\rBytes Sent: 300000   BPS:26297675      \r\n", 300000, 300000},
      {"Bytes received:    1024/ 300000   BPS:725133 ETA 00:00  \r", 1024, 300000},        // rz, rb
      {"Bytes received:  300032   BPS:178775                \r\n", 300032, std::nullopt},  // rx
      {"Xmodem sectors/kbytes sent:  16/ 2k\rXmodem sectors/kbytes sent:  24/ 3k\r", 3072, std::nullopt},
      {"Blocks received: 254\rBlocks received: 255\r", 0, std::nullopt},
      {"Bytes Sent: 2048/ 300000", 0, std::nullopt},  // a line not yet ended counts once it is
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printed);
    ProgressReader whole;
    whole.Add(c.printed);
    ProgressReader inPieces;  // one byte at a time, as a pipe may deliver it
    for (const char ch : std::string(c.printed)) {
      inPieces.Add(std::string_view(&ch, 1));
    }
    for (const ProgressReader* reader : {&whole, &inPieces}) {
      EXPECT_EQ(reader->Bytes(), c.bytes);
      EXPECT_EQ(reader->Total(), c.total);
    }
  }
  ProgressReader failing;
  failing.Add("Bytes Sent:   1024/ 4096\r\nsz: cannot open nothere.bin: No such file\r\n");
  EXPECT_EQ(failing.LastMessage(), "sz: cannot open nothere.bin: No such file");
  ProgressReader refusing;  // rz -R given a hidden name: its reason, not its way out
  refusing.Add(
      "Receiving: .ssh/authorized_keys\r\nrz:\tSecurity Violation\r\nrz: caught signal -1; exiting\r\n");
  EXPECT_EQ(refusing.LastMessage(), "rz: Security Violation");

  // A batch counts its files together, and knows which came whole.
  ProgressReader batch;
  batch.Add("Receiving: a.bin\r\nBytes received:    5000/   5000   BPS:13617870\r\n");
  batch.Add("Receiving: b.bin\r\nBytes received:    1024/   3000   BPS:8747387 ETA 00:00\r");
  EXPECT_EQ(batch.Bytes(), 6024);
  EXPECT_EQ(batch.Total(), 8000);
  EXPECT_EQ(batch.Completed(), std::vector<std::string>{"a.bin"});
  batch.Add("Bytes received:    3000/   3000   BPS:12710012\r\nTransfer complete\r\n");
  EXPECT_EQ(batch.Completed(), (std::vector<std::string>{"a.bin", "b.bin"}));
}

TEST(ProgressTextTest, SaysBytesRateAndTimeLeft) {
  struct Case {
    TransferProgress progress;
    const char* text;
    int percent;
  };
  const Case cases[] = {
      {{0, 300000, 0}, "0 of 300,000 bytes", 0},
      {{120000, 300000, 10}, "120,000 of 300,000 bytes, 11.7 KB/s, 15 s left", 40},
      {{300000, 300000, 2}, "300,000 of 300,000 bytes, 146.5 KB/s", 100},
      {{1234567, 0, 1}, "1,234,567 bytes, 1.2 MB/s", -1},
      {{100, 1000000, 0.2}, "100 of 1,000,000 bytes", 0},  // too soon for a rate
      {{60, 100000, 1}, "60 of 100,000 bytes, 60 B/s, 27 min 46 s left", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressText(c.progress), c.text);
    EXPECT_EQ(ProgressPercent(c.progress), c.percent);
  }
}

TEST(CommandForTest, RunsInTheFilesFolderWithTheBareName) {
  const ChildCommand send = CommandFor(kProtocols[3], "/usr/bin/sz", "/home/ann/fw/image.bin");
  EXPECT_EQ(send.Program, "/usr/bin/sz");
  EXPECT_EQ(send.Arguments, (std::vector<std::string>{"-vv", "-w", "32768", "--", "image.bin"}));
  EXPECT_EQ(send.Folder, "/home/ann/fw");
  const ChildCommand crc = CommandFor(kProtocols[5], "/usr/bin/rx", "/tmp/in/got.bin");
  EXPECT_EQ(crc.Arguments, (std::vector<std::string>{"-vv", "-c", "--", "got.bin"}));
  // A file named as an option is still a file.
  EXPECT_EQ(CommandFor(kProtocols[0], "/usr/bin/sx", "/tmp/-c").Arguments,
            (std::vector<std::string>{"-vv", "--", "-c"}));
  const ChildCommand folder = CommandFor(kProtocols[7], "/usr/bin/rz", "/tmp/in");
  EXPECT_EQ(folder.Arguments, (std::vector<std::string>{"-vv", "-E", "-R"}));
  EXPECT_EQ(folder.Folder, "/tmp/in");
}

// A protocol program that does what the test tells it.
class FakeChild final : public ChildProcess {
 public:
  explicit FakeChild(FakeChild*& self) { self = this; }
  bool Start(const ChildCommand& command, Handlers handlers) override {
    Started = command;
    Told = std::move(handlers);
    return !RefuseStart;
  }
  void Write(std::string_view bytes) override { Input.append(bytes); }
  void Kill() override {
    Killed = true;
    Told.Finished(9, false);
  }
  [[nodiscard]] std::string Problem() const override { return "no such program"; }

  ChildCommand Started;
  Handlers Told;
  std::string Input;
  bool Killed = false;
  bool RefuseStart = false;
};

class FileTransferTest : public ::testing::Test {
 protected:
  FileTransferTest() {
    Platform.Port.Open = true;
    Platform.Port.SetEventHandler([this](ports::PortEvent event) { Receive.OnPortEvent(event); });
    Receive.Watch([this](std::string_view chunk) { Watched.append(chunk); });
  }

  TransferPlatform Programs() {
    return {
        [this] { return std::make_unique<FakeChild>(Child); },
        [this](std::string_view name) { return Installed ? "/usr/bin/" + std::string(name) : std::string(); },
        [this] {
          auto timer = std::make_unique<fakes::FakeTimer>();
          Ticker = timer.get();
          return std::unique_ptr<base::Timer>(std::move(timer));
        },
        [this] { return NowUs; },
        {},
        [this] { return Closings; }};
  }

  fakes::FakePlatform Platform;
  fakes::FakePanelView View;
  fakes::TempFolder Folder;
  terminal::ReceivePath Receive{Platform.Port, View, nullptr};
  std::string Watched;  // what reached the views
  std::string Typed;    // what went out as sent by the user
  FakeChild* Child = nullptr;
  fakes::FakeTimer* Ticker = nullptr;
  bool Installed = true;
  std::int64_t NowUs = 0;
  std::uint64_t Closings = 0;  // times the port was closed
  FileTransfer Files{Platform.Port,
                     Receive,
                     View,
                     Platform.Dialogs,
                     [this](std::string_view bytes) {
                       Typed.append(bytes);
                       return Platform.Port.Write(bytes);
                     },
                     Programs()};
};

TEST_F(FileTransferTest, AFileAsItIsWaitsWhileThePortHoldsItsBytesBack) {
  std::string content(40000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) {
    content[i] = static_cast<char>(i * 7);
  }
  Folder.Write("image.bin", content);
  Platform.Dialogs.FileAnswer = Folder.File("image.bin");
  ASSERT_TRUE(Files.Choose(nullptr));
  EXPECT_EQ(Platform.Port.Written.size(), static_cast<std::size_t>(FileTransfer::kMostQueued));

  // Flow control holds the line: the port's queue stays full and nothing more is written.
  Platform.Port.StillToWrite = FileTransfer::kMostQueued;
  Ticker->Advance(100);
  EXPECT_EQ(Platform.Port.Written.size(), static_cast<std::size_t>(FileTransfer::kMostQueued));
  NowUs = 2'000'000;
  Platform.Port.StillToWrite = FileTransfer::kMostQueued - 1000;
  Ticker->Advance(FileTransfer::kTopUpMs);
  EXPECT_EQ(Platform.Port.Written.size(), static_cast<std::size_t>(FileTransfer::kMostQueued) + 1000);
  EXPECT_EQ(View.TransferShown,
            "Sending image.bin as it is | 2,000 of 40,000 bytes, 1000 B/s, 38 s left | 5");

  Platform.Port.StillToWrite = 0;
  Ticker->Advance(FileTransfer::kTopUpMs * 3);
  EXPECT_EQ(Platform.Port.Written, content);
  EXPECT_EQ(Typed, content);  // seen as sent
  ASSERT_EQ(View.TransferEnds.size(), 1U);
  EXPECT_EQ(View.TransferEnds[0], "Sending image.bin as it is: sent, 40,000 bytes, 19.5 KB/s");
  EXPECT_FALSE(Files.Running());
  EXPECT_FALSE(Ticker->Enabled());  // idle, no ticks
}

TEST_F(FileTransferTest, AFileAsItIsStopsWhenCancelledOrThePortCloses) {
  Folder.Write("big.bin", std::string(100000, 'x'));
  ASSERT_TRUE(Files.SendAsItIs(Folder.File("big.bin")));
  Platform.Port.StillToWrite = FileTransfer::kMostQueued;
  Files.Cancel();
  EXPECT_FALSE(Files.Running());
  EXPECT_NE(View.TransferEnds.back().find("cancelled"), std::string::npos);
  Platform.Port.StillToWrite = 0;
  Ticker->Advance(100);
  EXPECT_EQ(Platform.Port.Written.size(), static_cast<std::size_t>(FileTransfer::kMostQueued));

  ASSERT_TRUE(Files.SendAsItIs(Folder.File("big.bin")));
  Platform.Port.Open = false;
  Ticker->Advance(FileTransfer::kTopUpMs);
  EXPECT_FALSE(Files.Running());
  EXPECT_NE(View.TransferEnds.back().find("stopped: the port closed"), std::string::npos);

  // Closed and opened again between two top-ups: what waited in the port is lost.
  Platform.Port.Open = true;
  ASSERT_TRUE(Files.SendAsItIs(Folder.File("big.bin")));
  Platform.Port.StillToWrite = 6000;
  Ticker->Advance(FileTransfer::kTopUpMs);
  ++Closings;
  Ticker->Advance(FileTransfer::kTopUpMs);
  EXPECT_FALSE(Files.Running());
  EXPECT_NE(View.TransferEnds.back().find("failed: the port was closed and opened again"), std::string::npos);
  EXPECT_NE(View.TransferEnds.back().find(", 10,384 bytes"), std::string::npos) << View.TransferEnds.back();

  Platform.Port.Open = false;
  EXPECT_FALSE(Files.SendAsItIs(Folder.File("big.bin")));
  EXPECT_EQ(View.TransferEnds.back(), "the port is not open");
  Platform.Port.Open = true;
  EXPECT_FALSE(Files.SendAsItIs(Folder.File("missing.bin")));
  EXPECT_NE(View.TransferEnds.back().find("missing.bin cannot be read"), std::string::npos);
}

TEST_F(FileTransferTest, AProtocolsProgramHasTheLineWhileItRuns) {
  Folder.Write("fw.bin", std::string(5000, 'f'));
  Platform.Dialogs.FileAnswer = Folder.File("fw.bin");
  ASSERT_TRUE(Files.Choose(&kProtocols[3]));  // ZMODEM
  ASSERT_NE(Child, nullptr);
  EXPECT_EQ(Child->Started.Program, "/usr/bin/sz");
  EXPECT_EQ(Child->Started.Folder, std::filesystem::path(Folder.File("fw.bin")).parent_path().string());

  // What the board sends goes to the program, not to the views; what it writes goes out.
  Platform.Port.Arrive(
      "**\x18"
      "B0100000023be50\r\n");
  EXPECT_EQ(Child->Input,
            "**\x18"
            "B0100000023be50\r\n");
  EXPECT_EQ(Watched, "");
  Child->Told.Output(
      "rz\r**\x18"
      "B00");
  EXPECT_EQ(Platform.Port.Written,
            "rz\r**\x18"
            "B00");
  EXPECT_EQ(Typed, "");  // a protocol's bytes are not what the user sent
  NowUs = 1'000'000;
  Child->Told.ErrorText("Bytes Sent:   2048/ 5000   BPS:2048\r");
  EXPECT_EQ(View.TransferShown, "Sending fw.bin by ZMODEM | 2,048 of 5,000 bytes, 2.0 KB/s, 2 s left | 40");

  Child->Told.Finished(0, true);
  EXPECT_FALSE(Files.Running());
  EXPECT_EQ(View.TransferEnds.back(), "Sending fw.bin by ZMODEM: sent, 2,048 bytes, 2.0 KB/s");
  Platform.Port.Arrive("$ ");
  EXPECT_EQ(Watched, "$ ");  // the views have the line again
}

TEST_F(FileTransferTest, AProtocolStopsWhenThePortIsClosedUnderIt) {
  Folder.Write("fw.bin", std::string(5000, 'f'));
  ASSERT_TRUE(Files.Run(kProtocols[3], Folder.File("fw.bin")));  // ZMODEM
  Child->Told.Output("rz\r");
  ++Closings;
  Child->Told.Output("**");
  EXPECT_TRUE(Child->Killed);
  EXPECT_FALSE(Files.Running());
  EXPECT_EQ(Platform.Port.Written, "rz\r");
  EXPECT_NE(View.TransferEnds.back().find("ZMODEM: failed: the port was closed"), std::string::npos)
      << View.TransferEnds.back();
}

TEST_F(FileTransferTest, CancellingKillsTheProgramAndTellsTheBoard) {
  Platform.Dialogs.FolderAnswer = Folder.File("");
  ASSERT_TRUE(Files.Choose(&kProtocols[7]));  // ZMODEM receive
  EXPECT_EQ(Platform.Dialogs.Picks.back(), "Receive the files into | ");
  Files.Cancel();
  EXPECT_TRUE(Child->Killed);
  EXPECT_EQ(Platform.Port.Written, std::string(10, '\x18') + std::string(10, '\b'));
  const std::string folderName = std::filesystem::path(Folder.File("x")).parent_path().filename().string();
  EXPECT_NE(View.TransferEnds.back().find("ZMODEM into " + folderName + ": cancelled"), std::string::npos);
  EXPECT_FALSE(Files.Running());
}

// A cancelled receive never touches the file already there; what arrived of the new one is
// removed, or kept beside it as NAME.partial when the user asked for that.
TEST_F(FileTransferTest, ACancelledReceiveRemovesOrKeepsThePartialFile) {
  struct Case {
    std::size_t Entry;  // 4: XMODEM into a file, 7: ZMODEM into a folder
    bool Keep;
    std::vector<std::string> Left;
  };
  for (const Case& c : std::vector<Case>{{4, false, {"got.bin"}},
                                         {4, true, {"got.bin", "got.bin.partial"}},
                                         {7, false, {"got.bin", "got.bin.partial"}},
                                         {7, true, {"got.bin", "got.bin.partial", "got.bin.partial.1"}}}) {
    std::filesystem::remove_all(Folder.Path);
    std::filesystem::create_directories(Folder.Path);
    Folder.Write("got.bin", "what was there");
    if (c.Entry == 7) {
      Folder.Write("got.bin.partial", "an earlier one");
    }
    Files.SetKeepPartial(c.Keep);
    ASSERT_TRUE(Files.Run(kProtocols[c.Entry], c.Entry == 4 ? Folder.File("got.bin") : Folder.Path.string()));
    std::ofstream(std::filesystem::path(Child->Started.Folder) / "got.bin", std::ios::binary) << "half";
    Files.Cancel();
    std::vector<std::string> left;
    for (const auto& found : std::filesystem::directory_iterator(Folder.Path)) {
      left.push_back(found.path().filename().string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, c.Left) << c.Entry << " keep " << c.Keep;
    EXPECT_EQ(Folder.Read("got.bin"), "what was there");
    if (c.Keep) {
      EXPECT_EQ(Folder.Read(c.Left.back()), "half");  // an earlier partial file is not replaced
      EXPECT_NE(View.TransferEnds.back().find("; the part received is kept as " + c.Left.back()),
                std::string::npos)
          << View.TransferEnds.back();
    }
  }
}

TEST_F(FileTransferTest, SaysWhyAProtocolCannotRun) {
  Folder.Write("fw.bin", "abc");
  Platform.Dialogs.FileAnswer = Folder.File("fw.bin");
  // A program that ends badly: its own last words are the reason.
  ASSERT_TRUE(Files.Choose(&kProtocols[0]));
  Child->Told.ErrorText("Retry 0: NAK on sector\r\nsx: too many errors\r\n");
  Child->Told.Finished(128, true);
  EXPECT_NE(View.TransferEnds.back().find("failed: sx: too many errors"), std::string::npos);

  // The port closes under it: the program is stopped at once, not left to its retries.
  ASSERT_TRUE(Files.Choose(&kProtocols[0]));
  Platform.Port.Open = false;
  Child->Told.Output("\x01\x01\xfe");
  EXPECT_TRUE(Child->Killed);
  EXPECT_NE(View.TransferEnds.back().find("stopped: the port closed"), std::string::npos);
  Platform.Port.Open = true;

  ASSERT_TRUE(Files.Choose(&kProtocols[0]));
  EXPECT_FALSE(Files.Choose(&kProtocols[0]));
  EXPECT_EQ(View.TransferEnds.back(), "a transfer is running already: cancel it first");
  Child->Told.Finished(0, true);

  Installed = false;
  const std::size_t picks = Platform.Dialogs.Picks.size();
  EXPECT_FALSE(Files.Choose(&kProtocols[2]));
  EXPECT_EQ(Platform.Dialogs.Picks.size(), picks);  // nothing asked for
  EXPECT_EQ(View.TransferEnds.back(),
            "YMODEM needs sb from the lrzsz package: install it (apt install lrzsz)");
  EXPECT_EQ(Files.Missing(kProtocols[7]), "needs rz from the lrzsz package: install it (apt install lrzsz)");
}

}  // namespace
}  // namespace korvani::transfer
