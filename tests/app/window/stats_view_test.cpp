#include "app/window/stats_view.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "app/options/language.h"

namespace quillot {
namespace {

// Everything the view shows, in reading order.
QString shown(const StatsView& view) {
  QStringList texts;
  for (const QLabel* l : view.findChildren<QLabel*>())
    if (!l->isHidden()) texts << l->text();
  return texts.join("|");
}

// The statistics read in the player's language, switched while they are shown,
// with accuracy and times worked out by hand.
TEST(StatsView, ShowsOneGameOrTheSumInEitherLanguage) {
  RunStats game;
  game.ticks = 730;  // 36.5 s
  game.games = 1;
  game.shots_fired = 72;
  game.shots_hit = 13;  // 18.06 %
  game.destroyed[5] = 2;
  game.stage_ticks[8] = 652;  // 32.6 s
  RunStats all = game;
  all += game;
  all.ticks += 72'000;  // an hour more

  struct Case {
    Language language;
    bool all_games;
    std::vector<const char*> seen, unseen;
  };
  const Case cases[] = {
      {Language::Japanese,
       false,
       {"このゲームの記録", "0:36", "72発 命中13（18.1%）", "#5×2", "ST8\u00A00:32.6"},
       {"ゲーム数"}},
      {Language::English,
       false,
       {"This game", "0:36", "72 fired, 13 hit (18.1%)", "Enemies destroyed"},
       {"Games"}},
      {Language::English,
       true,
       {"All 2 games", "1:01:13", "144 fired, 26 hit (18.1%)", "#5×4", "ST8\u00A01:05.2"},
       {}},
  };
  StatsView view;
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.language));
    view.show_stats(c.all_games ? all : game, c.all_games);
    use_language(c.language);
    QCoreApplication::sendPostedEvents();
    const QString text = shown(view);
    for (const char* s : c.seen)
      EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << " in " << text.toStdString();
    for (const char* s : c.unseen) EXPECT_FALSE(text.contains(QString::fromUtf8(s))) << s;
  }
  use_language(Language::Japanese);
}

}  // namespace
}  // namespace quillot
