#include "app/options/language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace quillot {

std::optional<Language> language_from_name(const QString& name) {
  if (name == "auto") return Language::Auto;
  if (name == "ja") return Language::Japanese;
  if (name == "en") return Language::English;
  return std::nullopt;
}

QString language_name(Language language) {
  switch (language) {
    case Language::Japanese:
      return "ja";
    case Language::English:
      return "en";
    case Language::Auto:
      break;
  }
  return "auto";
}

Language resolve_language(Language chosen, const QStringList& ui_languages) {
  if (chosen != Language::Auto) return chosen;
  if (ui_languages.isEmpty()) return Language::Japanese;
  // "ja", "ja-JP", "ja_JP.UTF-8"; "C" and "POSIX" name no language at all.
  const QString first = ui_languages.front();
  const QString lang = first.section('-', 0, 0).section('_', 0, 0).section('.', 0, 0).toLower();
  if (lang == "ja" || lang == "c" || lang == "posix" || lang.isEmpty()) return Language::Japanese;
  return Language::English;
}

Language resolve_language(Language chosen) {
  return resolve_language(chosen, QLocale::system().uiLanguages());
}

void use_language(Language resolved) {
  // One translator for the life of the program; the Japanese texts are the
  // source texts, so Japanese needs no catalogue at all.
  static QTranslator english;
  static const bool loaded = english.load(":/i18n/quillot_en.qm");
  if (!loaded) qWarning("quillot: the English catalogue is missing");
  // Taken out first, so that choosing English twice installs it once.
  QCoreApplication::removeTranslator(&english);
  if (resolved == Language::English) QCoreApplication::installTranslator(&english);
}

QString translated(const Text& text) {
  const QString wording = QCoreApplication::translate(kTextContext, text.source.c_str());
  return QString::fromStdString(Text::fill(wording.toStdString(), text.args));
}

}  // namespace quillot
