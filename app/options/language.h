#pragma once
#include <QString>
#include <QStringList>
#include <optional>

#include "app/options/settings.h"
#include "game/text.h"

namespace quillot {

// "auto", "ja" and "en", as the settings file and --language write them.
std::optional<Language> language_from_name(const QString& name);
QString language_name(Language language);

// The language the game speaks. Auto follows the first of the player's UI
// languages: Japanese when it is Japanese, and when it is C (no language set
// at all), since Japanese is the game's own; English for every other one.
Language resolve_language(Language chosen, const QStringList& ui_languages);
// The same with the desktop's UI languages as Qt reports them (they honour
// LANGUAGE even under the C locale).
Language resolve_language(Language chosen);

// Puts the English catalogue into the application or takes it out; every
// window then gets a LanguageChange event. Needs the application object.
void use_language(Language resolved);

// A text marked outside app/, translated; its values filled in after.
QString translated(const Text& text);

}  // namespace quillot
