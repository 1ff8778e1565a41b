#pragma once

#include <QString>
#include <QStringList>

namespace app
{

// The language of the texts in the forms and the code: shown as they stand, with no translation
// of the note's own.
inline QString sourceLanguage()
{
    return QStringLiteral("zh_CN");
}

// The language the note speaks, from the user's languages, most wanted first (as
// QLocale::uiLanguages gives them: "en-US", "zh-Hans-CN", "C"), and the languages of the
// translations it carries ("en", "pt_BR"). The first of the user's languages that the note speaks
// wins: a translation for that very country, the note's own Chinese for any Chinese, or a
// translation of that language. Where the note speaks none of them (the C locale too) it speaks
// English. The result is one of `translations` or sourceLanguage().
QString chooseLanguage(const QStringList &uiLanguages, const QStringList &translations);

// Makes the note speak `language`, one that chooseLanguage gives: installs the note's translation
// into it, unless it is the note's own, and Qt's, for the colour and font dialogs and the message
// boxes, where the bundle has one. Call once the application object exists and before any window
// is built.
void speak(const QString &language);

// speak() with the language chosen from the user's languages and the bundled translations.
void speakUsersLanguage();

} // namespace app
