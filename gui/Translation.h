// The window's language. Japanese is the language the texts are written in
// and needs no translator; English comes from the translation embedded in the
// program as a Qt resource.
#ifndef PIXWRIGHT_GUI_TRANSLATION_H
#define PIXWRIGHT_GUI_TRANSLATION_H

#include <QLocale>
#include <QString>

namespace translation {

enum class Language { Japanese, English };

// The language for a --lang value ("ja" or "en", any case); any other value,
// an empty one included, follows the locale: Japanese for a Japanese locale,
// English for every other.
Language choose(const QString& langOption, const QLocale& locale = QLocale::system());

// Recognises a --lang value; false for anything but "ja" and "en".
bool isKnownOption(const QString& langOption);

// Makes language the application's: installs the English translator, or
// removes it for Japanese. False when the English translation cannot be
// loaded; the texts then stay Japanese. Needs the application object.
bool install(Language language);

// The language the texts are shown in: English while the English translator
// is installed, else Japanese.
Language current();

} // namespace translation

#endif
