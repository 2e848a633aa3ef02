// The story files and pictures we ship, Japanese and English: well formed,
// readable in the Japanese code page, and every text small enough for its
// label on the story screen.
#include <gtest/gtest.h>
#include <iconv.h>

#include <QApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 255;
constexpr int kFields = 5;
// NEXT is refused from stage 46 on, so only these records can be shown.
constexpr int kLastShown = 45;
// Room left for a font that sets a little wider or taller than ours.
constexpr int kMargin = 3;

const fs::path kRoot = fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path();

void ensure_app() {
  if (QApplication::instance() == nullptr) {
    static int argc = 1;
    static char name[] = "shipped_story_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
  }
}

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each language's story file; the English one has the Japanese one's records.
const char* const kFiles[] = {"s.dat", "s_en.dat"};

std::string shipped_bytes(const std::string& file) { return read_bytes(kRoot / "dat" / file); }

// Lines as the file holds them, split at CR LF; a lone CR or LF is left inside
// its line so that the layout test can report it.
std::vector<std::string> shipped_lines(const std::string& file) {
  std::vector<std::string> lines;
  const std::string bytes = shipped_bytes(file);
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t end = bytes.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(pos));
      break;
    }
    lines.push_back(bytes.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

// Strict: a byte sequence that is not valid in the code page gives nothing.
std::optional<QString> decode_cp932(const std::string& bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(bytes.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char* o = out.data();
  size_t out_left = out.size();
  const size_t done = iconv(cd, &in, &in_left, &o, &out_left);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1) || in_left != 0) return std::nullopt;
  out.resize(out.size() - out_left);
  return QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

struct Story {
  int index = 0;
  QString text, picture, name, about, choice;
};

// Records 0..254 decoded; an undecodable line fails the calling test.
std::vector<Story> shipped_stories(const std::string& file) {
  const std::vector<std::string> lines = shipped_lines(file);
  std::vector<Story> stories;
  for (int r = 0; r < kRecords; ++r) {
    std::array<QString, kFields> fields;
    for (int f = 0; f < kFields; ++f) {
      const size_t at = static_cast<size_t>(r * kFields + f);
      if (at >= lines.size()) continue;
      const std::optional<QString> text = decode_cp932(lines[at]);
      EXPECT_TRUE(text.has_value()) << "line " << at + 1 << " is not valid in the Japanese code page";
      if (text) fields[f] = *text;
    }
    stories.push_back({r, fields[0], fields[1], fields[2], fields[3], fields[4]});
  }
  return stories;
}

TEST(ShippedStory, FileHas1275CrLfLinesAndNothingThatEndsItEarly) {
  for (const std::string file : kFiles) {
    SCOPED_TRACE(file);
    const std::string bytes = shipped_bytes(file);
    ASSERT_FALSE(bytes.empty()) << "the story file is missing or empty";
    // 0x1A would end the file for the reader; a stray CR or LF would shift
    // every record after it.
    EXPECT_EQ(bytes.find('\x1A'), std::string::npos);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const std::vector<std::string> lines = shipped_lines(file);
    EXPECT_EQ(lines.size(), 1275u);
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].find_first_of("\r\n"), std::string::npos)
          << "line " << i + 1 << " holds a lone CR or LF";
    }
  }
}

TEST(ShippedStory, EnoughStoriesAndChoicesWhereTheyCanBeShown) {
  int stories = 0, choices = 0;
  for (const Story& s : shipped_stories("s.dat")) {
    SCOPED_TRACE("record " + std::to_string(s.index));
    EXPECT_TRUE(s.choice.isEmpty() || s.choice == "sel") << s.choice.toStdString();
    if (s.text.isEmpty()) {
      // A record without text is never shown; anything else in it is a slip.
      EXPECT_TRUE(s.picture.isEmpty() && s.name.isEmpty() && s.about.isEmpty() && s.choice.isEmpty());
      continue;
    }
    EXPECT_LE(s.index, kLastShown) << "a story that can never be shown";
    // Any record may be the first one a player sees after a restart, when an
    // empty line would leave the bare placeholder on screen.
    EXPECT_FALSE(s.picture.isEmpty() || s.name.isEmpty() || s.about.isEmpty());
    ++stories;
    if (s.choice == "sel") ++choices;
  }
  EXPECT_GE(stories, 20);
  EXPECT_GE(choices, 5);
}

TEST(ShippedStory, EveryNamedPictureIsAPlainFileInCgThatLoads) {
  ensure_app();
  for (const Story& s : shipped_stories("s.dat")) {
    if (s.picture.isEmpty()) continue;
    SCOPED_TRACE("record " + std::to_string(s.index) + ": " + s.picture.toStdString());
    EXPECT_FALSE(s.picture.contains('/') || s.picture.contains('\\') || s.picture.contains(".."));
    const fs::path path = kRoot / "cg" / s.picture.toStdString();
    const QImage image(QString::fromStdString(path.string()));
    if (!fs::is_regular_file(path) || image.isNull()) {
      ADD_FAILURE() << "no picture " << path;
      continue;
    }
    // Shown stretched to 200 x 250, so the shape must be the same.
    EXPECT_EQ(image.width() * 5, image.height() * 4) << image.width() << " x " << image.height();
  }
}

struct Label {
  const char* name;
  QString Story::*field;
  int width, height, pixels;
  bool bold, italic;
};

TEST(ShippedStory, EveryTextFitsItsLabel) {
  ensure_app();
  const std::array<Label, 3> labels{{
      {"story_l", &Story::text, 217, 81, 16, true, true},
      {"name_l", &Story::name, 177, 21, 16, true, true},
      {"about_l", &Story::about, 177, 145, 13, true, false},
  }};
  for (const Label& label : labels) {
    QFont font("IPAPGothic");
    font.setPixelSize(label.pixels);
    font.setBold(label.bold);
    font.setItalic(label.italic);
    ASSERT_EQ(QFontInfo(font).family(), "IPAPGothic") << "the label font is not installed";
    const QFontMetrics metrics(font);
    for (const std::string file : kFiles) {
      for (const Story& s : shipped_stories(file)) {
        const QString& text = s.*label.field;
        if (s.text.isEmpty() || text.isEmpty()) continue;
        SCOPED_TRACE(file + ": " + label.name + " of record " + std::to_string(s.index) + ": " +
                     text.toStdString());
        // Wrapped as the label wraps it: nothing may stick out at the side
        // (a slanted last letter can) or run past the bottom.
        const QRect exact =
            metrics.boundingRect(QRect(0, 0, label.width, label.height), Qt::TextWordWrap, text);
        EXPECT_LE(exact.width(), label.width);
        EXPECT_LE(exact.height(), label.height - kMargin);
        // Wrapped a little narrower, as a wider face would: still no line too many.
        const QRect narrow =
            metrics.boundingRect(QRect(0, 0, label.width - kMargin, label.height), Qt::TextWordWrap, text);
        EXPECT_LE(narrow.height(), label.height - kMargin);
      }
    }
  }
}

// The English story shows the Japanese one's screens: the same records, the
// same pictures and questions, and words an English player can read.
TEST(ShippedStory, EnglishStoryHasTheSameScreensInLatinLetters) {
  const std::vector<Story> ja = shipped_stories("s.dat"), en = shipped_stories("s_en.dat");
  ASSERT_EQ(ja.size(), en.size());
  for (size_t i = 0; i < ja.size(); ++i) {
    SCOPED_TRACE("record " + std::to_string(i));
    EXPECT_EQ(ja[i].text.isEmpty(), en[i].text.isEmpty());
    EXPECT_EQ(ja[i].name.isEmpty(), en[i].name.isEmpty());
    EXPECT_EQ(ja[i].picture, en[i].picture);
    EXPECT_EQ(ja[i].choice, en[i].choice);
    for (const QString& text : {en[i].text, en[i].name, en[i].about})
      for (QChar c : text) EXPECT_TRUE(c.unicode() < 0x80 || c == u'\u25C6') << text.toStdString();
  }
}

}  // namespace
