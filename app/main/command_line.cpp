#include "app/main/command_line.h"

#include <QCommandLineParser>

#include "app/options/language.h"

namespace quillot {

namespace {

// Qt's own command-line options, passed through to it untouched: those that
// take a value, then those that do not.
const char* const kQtValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qmljsdebugger", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",      "style",
    "stylesheet"};
const char* const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

}  // namespace

ParsedCommandLine parse_command_line(const QStringList& args) {
  ParsedCommandLine out;
  CommandLine& o = out.options;
  auto error = [](const QString& text) {
    ParsedCommandLine refused;
    refused.what = ParsedCommandLine::What::Error;
    refused.error = text;
    return refused;
  };
  QCommandLineParser parser;
  // "-platform xcb" is one option, as Qt reads it, not seven letters.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{"h", "help"}), version(QStringList{"v", "version"}),
      headless("headless"), fullscreen("fullscreen"), mute("mute"), scale("scale", {}, "N"),
      record("record", {}, "FILE"), replay("replay", {}, "FILE"), language("language", {}, "L"),
      sound_font("soundfont", {}, "FILE");
  for (const auto& option : {help, version, headless, fullscreen, mute, scale, record, replay, language, sound_font})
    parser.addOption(option);
  for (const char* name : kQtValueOptions) {
    QCommandLineOption option(name, {}, "value");
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  for (const char* name : kQtFlagOptions) {
    QCommandLineOption option(name);
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
  }
  if (!parser.parse(args)) return error(parser.errorText());
  if (parser.isSet(language)) {
    o.language = language_from_name(parser.value(language));
    if (!o.language || *o.language == Language::Auto)
      return error("--language needs ja or en");
  }
  if (parser.isSet(help)) {
    out.what = ParsedCommandLine::What::Help;
    return out;
  }
  if (parser.isSet(version)) {
    out.what = ParsedCommandLine::What::Version;
    return out;
  }
  if (!parser.positionalArguments().isEmpty())
    return error(QString("unexpected argument '%1' (a recording is played with --replay FILE)")
                           .arg(parser.positionalArguments().first()));
  // The parser takes whatever follows as the value: "--record --headless"
  // would record into a file named "--headless".
  for (const QCommandLineOption& option : {scale, record, replay, sound_font}) {
    const QString value = parser.value(option);
    if (parser.isSet(option) && (value.isEmpty() || value.startsWith('-')))
      return error(
          QString("--%1 needs %2, not '%3'").arg(option.names().first(), option.valueName(), value));
  }
  o.display_given = parser.isSet("platform") || parser.isSet("display");
  o.headless = parser.isSet(headless);
  o.fullscreen = parser.isSet(fullscreen);
  o.mute = parser.isSet(mute);
  o.record = parser.value(record).toStdString();
  o.replay = parser.value(replay).toStdString();
  if (parser.isSet(sound_font)) o.sound_font = parser.value(sound_font).toStdString();
  if (parser.isSet(scale)) {
    const QString n = parser.value(scale);
    if (n.size() != 1 || n[0] < '1' || n[0] > '4') return error("--scale needs a number from 1 to 4");
    o.scale = n[0].unicode() - '0';
  }
  if (o.headless && o.replay.empty()) return error("--headless goes with --replay FILE");
  if (!o.record.empty() && !o.replay.empty()) return error("--record and --replay exclude each other");
  return out;
}

}  // namespace quillot
