#include "app/form.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFontMetrics>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/profile_file.h"
#include "app/replay.h"

namespace quillot {
namespace {

namespace fs = std::filesystem;

class RecordingDialogs : public Dialogs {
 public:
  QStringList messages, errors;
  void message(const QString& text) override { messages << text; }
  void error(const QString& text) override { errors << error_box_text(text); }
};

class RecordingMusic : public MusicPort {
 public:
  std::vector<std::string> tracks;
  void play_music(const std::string& name) override { tracks.push_back(name); }
};

// A game folder of its own in /tmp, so no test touches the real data.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quillot-form-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "dat");
    fs::create_directories(dir_ / "cg");
    write("dat/my.dat", "7\r\n5230\r\n12\r\n4\r\n18\r\n10\r\n2\r\n3\r\n900\r\n0\r\n3\r\n3\r\n0\r\n");
    write("dat/s.dat", "");
    QImage start(400, 300, QImage::Format_RGB32);
    start.fill(Qt::green);
    start.save(QString::fromStdString((dir_ / "cg/start.bmp").string()));
  }
  void TearDown() override { fs::remove_all(dir_); }

  void write(const std::string& rel, const std::string& bytes) {
    std::ofstream(dir_ / rel, std::ios::binary) << bytes;
  }

  std::unique_ptr<TForm1> make() {
    FormOptions o;
    o.base_dir = dir_.string();
    o.dialogs = &dialogs_;
    o.music = &music_;
    return std::make_unique<TForm1>(o);
  }

  fs::path dir_;
  RecordingDialogs dialogs_;
  RecordingMusic music_;
};

TEST_F(FormTest, OpensOnTheTitleScreenWithTheSavedProfile) {
  auto form = make();
  EXPECT_TRUE(dialogs_.errors.isEmpty()) << dialogs_.errors.join("|").toStdString();
  EXPECT_EQ(form->size(), QSize(401, 301));
  EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "not resizable";
  EXPECT_EQ(form->windowTitle(), QString("ＱＵＩＬＬＯＴ ver 1.0 2001/3  ﾌﾞﾗｽｺ"));
  for (QGroupBox* box : {form->start_box, form->shop_box, form->story_box})
    EXPECT_EQ(box->geometry(), QRect(0, 0, 401, 301));
  EXPECT_EQ(form->screen(), Screen::Title);
  EXPECT_TRUE(form->shop_box->isHidden());
  EXPECT_TRUE(form->story_box->isHidden());
  EXPECT_FALSE(form->select_box->isHidden());
  EXPECT_FALSE(form->Timer1.isActive());
  EXPECT_TRUE(form->Timer2.isActive());
  EXPECT_EQ(form->Timer1.interval(), 50);
  EXPECT_EQ(form->Timer2.interval(), 100);
  EXPECT_EQ(music_.tracks, std::vector<std::string>{"5.mid"});
  EXPECT_EQ(form->game().profile.hi_score, 5230);
  EXPECT_EQ(form->game().profile.gold, 900);
  // The playfield under the title: blue with a black border, not the start picture.
  const QImage& cg = form->playfield_image();
  EXPECT_EQ(cg.size(), QSize(400, 300));
  EXPECT_EQ(cg.pixelColor(200, 150), QColor(0, 0, 255));
  EXPECT_EQ(cg.pixelColor(0, 0), QColor(0, 0, 0));
}

TEST_F(FormTest, TitleScreenCoversThePlayfieldAndHasItsControls) {
  auto form = make();
  form->show();
  QApplication::processEvents();
  const QImage shot = form->grab().toImage();
  EXPECT_NE(shot.pixelColor(200, 150), QColor(0, 0, 255)) << "the playfield must be hidden";
  EXPECT_EQ(form->Button1->text(), "NEW START");
  EXPECT_EQ(form->Button4->text(), "COUNTINUE");
  EXPECT_EQ(form->Button1->geometry(), QRect(148, 196, 101, 25));
  EXPECT_EQ(form->Image1->geometry(), QRect(4, 8, 393, 289));
}

TEST_F(FormTest, MissingSaveFileReportsAndStillGivesAUsableWindow) {
  fs::remove(dir_ / "dat/my.dat");
  auto form = make();
  ASSERT_EQ(dialogs_.errors.size(), 1);
  EXPECT_EQ(dialogs_.errors[0], QString("ﾌｧｲﾙが見つかりません."));
  EXPECT_EQ(profile_values(form->game().profile), (std::array<int32_t, 13>{}));
  EXPECT_EQ(form->size(), QSize(401, 301));
  EXPECT_EQ(music_.tracks, std::vector<std::string>{"5.mid"});
  EXPECT_EQ(form->playfield_image().pixelColor(200, 150), QColor(0, 0, 255));
}

TEST_F(FormTest, EachBrokenFileGetsItsOwnErrorBox) {
  write("dat/my.dat", "1\r\n2\r\nthree\r\n4\r\n");
  fs::remove(dir_ / "dat/s.dat");
  fs::remove(dir_ / "cg/start.bmp");
  auto form = make();
  EXPECT_EQ(dialogs_.errors, (QStringList{"入力値が数値ではありません.", "ﾌｧｲﾙが見つかりません.", "ﾌｧｲﾙが見つかりません."}));
  EXPECT_EQ(form->game().profile.hi_score, 2);
  EXPECT_EQ(form->game().profile.speed, 0);
  EXPECT_EQ(form->playfield_image().size(), QSize(400, 300));
}

TEST_F(FormTest, WhatStandsInPlaceOfAFileIsRefusedAtOnce) {
  const std::string denied = "ﾌｧｲﾙ ｱｸｾｽが拒否されました.";
  const struct {
    const char* what;
    std::function<void(const fs::path&)> put;
    const char* error;  // nullptr: no error box
  } kinds[] = {
      {"a folder", [](const fs::path& p) { fs::create_directory(p); }, denied.c_str()},
      {"a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, denied.c_str()},
      {"a link to an endless device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }, denied.c_str()},
      // Only the start of a huge file is read (sparse, so the test writes nothing).
      {"a 4 GiB file", [](const fs::path& p) {
         std::ofstream{p};
         fs::resize_file(p, 4ull << 30);
       }, nullptr},
  };
  for (const auto& k : kinds) {
    for (const char* file : {"dat/my.dat", "dat/s.dat", "cg/start.bmp"}) {
      SCOPED_TRACE(std::string(k.what) + " as " + file);
      SetUp();
      fs::remove(dir_ / file);
      k.put(dir_ / file);
      dialogs_.errors.clear();
      auto form = make();
      const bool picture = std::string(file) == "cg/start.bmp";
      if (k.error != nullptr) {
        EXPECT_EQ(dialogs_.errors, QStringList{k.error});
      } else {
        // A picture must be read whole to be shown; the text files need only their start.
        EXPECT_EQ(dialogs_.errors, picture ? QStringList{"ﾌｧｲﾙが見つかりません."} : QStringList{});
      }
      EXPECT_EQ(form->screen(), Screen::Title);
    }
  }
  // A story picture: the story screen stays, with its error box.
  SetUp();
  write("dat/s.dat", "once upon a time\r\nfifo.bmp\r\nname\r\n\r\n\r\n");
  ASSERT_EQ(::mkfifo((dir_ / "cg/fifo.bmp").c_str(), 0600), 0);
  dialogs_.errors.clear();
  auto form = make();
  form->game().profile.stage = 0;
  form->Button4Click();
  form->Button5Click();
  EXPECT_EQ(form->screen(), Screen::Story);
  EXPECT_EQ(dialogs_.errors, QStringList{denied.c_str()});
}

TEST_F(FormTest, ATickClearsToBlueAndPresents) {
  auto form = make();
  form->Button1Click();
  EXPECT_EQ(form->screen(), Screen::None);
  EXPECT_TRUE(form->Timer1.isActive());
  form->Timer1Timer();
  const QImage& cg = form->playfield_image();
  EXPECT_EQ(cg.pixelColor(399, 150), QColor(0, 0, 255));
  EXPECT_EQ(cg.pixelColor(0, 150), QColor(0, 0, 255)) << "the border is gone after a tick";
  EXPECT_EQ(form->game().frame_no, 1);
}

TEST_F(FormTest, ASessionRecordedInTheWindowReplaysWithoutIt) {
  const std::string file = (dir_ / "session.qrp").string();
  std::unique_ptr<Recorder> recorder;
  {
    auto form = make();
    recorder = std::make_unique<Recorder>(file, form->game());
    form->set_recorder(recorder.get());
    form->Button1Click();
    // Inputs no player could give now are neither played nor recorded, or
    // the replay below would stop at them.
    form->Button4Click();
    form->shop_click(shop::Item::a9);
    for (int i = 0; i < 90; ++i) {
      form->cgMouseMove(40 + (i * 7) % 320);
      if (i % 3 == 0) form->cgMouseDown(MouseButton::Left);
      if (i == 50) form->cgMouseDown(MouseButton::Right);
      form->Timer1Timer();
    }
    EXPECT_EQ(form->ticks(), 90);
  }  // closing the window ends the recording
  recorder.reset();
  std::ifstream in(file);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_NE(text.find("\n90 end "), std::string::npos);
  EXPECT_EQ(replay_headless(file), 0);
}

TEST_F(FormTest, TheWholeStatusPanelFitsItsLabel) {
  auto form = make();
  // The fullest panel the shop allows: eleven hit points, ten bombs.
  form->game().profile = Profile{0, 0, 46, 21, 5, 16, 21, 33, -2147483647 - 1, 20, 11, 10, 1};
  form->Timer2Timer();
  QLabel* panel = form->state_l;
  EXPECT_EQ(panel->heightForWidth(panel->width()), panel->heightForWidth(2000)) << "no line may wrap";
  EXPECT_LE(14 * QFontMetrics(panel->font()).lineSpacing(), panel->height());
  EXPECT_EQ(form->shop_box->title(), "STAGE > 46");
  EXPECT_EQ(form->item_button(shop::Item::a2)->text(), "ＨＰ＋１(2900円)");
  EXPECT_FALSE(form->item_button(shop::Item::a1)->isEnabled()) << "no money, and speed at its limit";
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(error_box_text("abc"), "abc.");
  EXPECT_EQ(error_box_text("done."), "done.");
  EXPECT_EQ(error_box_text("what!"), "what!");
  EXPECT_EQ(error_box_text("ﾌｧｲﾙが見つかりません"), "ﾌｧｲﾙが見つかりません.");
  EXPECT_EQ(error_box_text(""), "");
}

}  // namespace
}  // namespace quillot
