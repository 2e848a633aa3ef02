#include "app/window/practice_boxes.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/render/look.h"
#include "app/window/dialogs.h"

namespace quillot {

namespace {

constexpr int kFontPx = 12;

// The game's font at the window's scale, and the focus shown as the menus
// show it: a thick yellow ring where Return, Space and the pad act.
void dress(QDialog* box, int scale) {
  const int s = std::max(1, scale);
  const QFont font = game_font(kFontPx * s);
  box->setFont(font);
  box->setStyleSheet(QString("* { font-family: \"%1\"; font-size: %2px; }"
                             "QPushButton, QComboBox { border: %3px solid #a8a8a8; border-radius: %4px;"
                             " padding: %4px %5px; background: #f6f6f6; }"
                             "QPushButton:focus, QComboBox:focus { border-color: #ffd600; }"
                             "QPushButton:pressed { background: #dcdcdc; }")
                         .arg(font.family())
                         .arg(kFontPx * s)
                         .arg(3 * s)
                         .arg(2 * s)
                         .arg(6 * s));
  box->layout()->setContentsMargins(10 * s, 10 * s, 10 * s, 10 * s);
  box->layout()->setSpacing(8 * s);
  box->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

// Over the game, wherever its window is.
void centre_over(QDialog* box, QWidget* parent) {
  box->adjustSize();
  if (parent != nullptr) box->move(parent->mapToGlobal(parent->rect().center()) - box->rect().center());
}

}  // namespace

PracticeChooser::PracticeChooser(QWidget* parent, int scale, int32_t saved_stage, const QStringList& games,
                                 std::function<std::vector<int32_t>(int)> stages_of)
    : QDialog(parent), saved_stage_(saved_stage), stages_of_(std::move(stages_of)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(tr("ステージ練習 - ") + QString::fromUtf8(kAppTitle));
  auto* layout = new QVBoxLayout(this);
  auto* rows = new QFormLayout;
  equipment = new QComboBox(this);
  equipment->addItem(tr("セーブしたゲームの装備"), -1);
  for (int i = 0; i < games.size(); ++i) equipment->addItem(games[i], i);
  stages = new QComboBox(this);
  rows->addRow(tr("装備"), equipment);
  rows->addRow(tr("ステージ"), stages);
  layout->addLayout(rows);
  auto* buttons = new QHBoxLayout;
  back = new QPushButton(tr("もどる"), this);
  start = new QPushButton(tr("はじめる"), this);
  start->setDefault(true);
  buttons->addWidget(back);
  buttons->addStretch(1);
  buttons->addWidget(start);
  layout->addLayout(buttons);
  connect(equipment, &QComboBox::currentIndexChanged, this, [this] { fill_stages(); });
  connect(start, &QPushButton::clicked, this, &QDialog::accept);
  connect(back, &QPushButton::clicked, this, &QDialog::reject);
  fill_stages();
  dress(this, scale);
  centre_over(this, parent);
  // Most often the stage itself is what the player comes to choose.
  stages->setFocus();
}

void PracticeChooser::fill_stages() {
  std::vector<int32_t> offered;
  if (game() < 0) {
    for (int32_t n = 0; n <= std::max(0, saved_stage_); ++n) offered.push_back(n);
  } else {
    offered = stages_of_(game());
  }
  const int32_t was = stage();
  stages->clear();
  for (int32_t n : offered) stages->addItem(QString("STAGE %1").arg(n), n);
  if (offered.empty()) stages->addItem(tr("（ステージの記録がありません）"), -1);
  // The stage chosen stays when the other equipment offers it; else the
  // furthest one, where practice is most likely wanted.
  const int keep = stages->findData(was);
  stages->setCurrentIndex(keep >= 0 ? keep : stages->count() - 1);
  start->setEnabled(!offered.empty());
}

int PracticeChooser::game() const { return equipment->currentData().toInt(); }
int32_t PracticeChooser::stage() const { return stages->count() == 0 ? -1 : stages->currentData().toInt(); }

PracticeResultBox::PracticeResultBox(QWidget* parent, int scale, int32_t stage, const PracticeResult& result)
    : QDialog(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  // Worked by the pad as a message box: the cross moves, South presses.
  setProperty(kBoxProperty, true);
  setWindowTitle(tr("ステージ練習 - ") + QString::fromUtf8(kAppTitle));
  auto* layout = new QVBoxLayout(this);
  const double seconds = static_cast<double>(result.ticks) / 20.0;
  text = new QLabel(QString("<b>%1</b><br>STAGE %2<br>%3<br>%4<br>%5")
                        .arg(result.cleared ? "CLEAR!!" : "GAME OVER")
                        .arg(stage)
                        .arg(tr("タイム %1 秒").arg(seconds, 0, 'f', 1))
                        .arg(tr("スコア %1").arg(result.score))
                        .arg(tr("ゴールド %1").arg(result.gold)),
                    this);
  text->setAlignment(Qt::AlignCenter);
  layout->addWidget(text);
  auto* buttons = new QHBoxLayout;
  again = new QPushButton(tr("もう一度"), this);
  another = new QPushButton(tr("ほかのステージ"), this);
  back = new QPushButton(tr("もどる"), this);
  again->setDefault(true);
  for (QPushButton* b : {again, another, back}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(again, &QPushButton::clicked, this, [this] { done(Again); });
  connect(another, &QPushButton::clicked, this, [this] { done(Another); });
  connect(back, &QPushButton::clicked, this, [this] { done(Back); });
  dress(this, scale);
  centre_over(this, parent);
  again->setFocus();
}

}  // namespace quillot
