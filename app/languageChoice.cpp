#include "app/languageChoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

namespace app
{

namespace
{

// Where the build puts the compiled translations: deskMemo_<language>.qm for the note's texts,
// qtbase_<language>.qm for Qt's.
const char translationFolder[] = ":/i18n/";

QString speaksAs(const QString &uiLanguage, const QStringList &translations)
{
    const QLocale locale(uiLanguage);
    if (translations.contains(locale.name()))
        return locale.name();
    if (locale.language() == QLocale(sourceLanguage()).language())
        return sourceLanguage();
    for (const QString &translation : translations)
        if (QLocale(translation).language() == locale.language())
            return translation;
    return QString();
}

QStringList bundledTranslations()
{
    QStringList languages;
    const QString prefix = QStringLiteral("deskMemo_");
    for (const QString &file : QDir(QString::fromLatin1(translationFolder))
                                   .entryList({prefix + QStringLiteral("*.qm")}, QDir::Files))
        languages << file.mid(prefix.size()).chopped(3);
    return languages;
}

// Translators live as long as the application object; a missing file installs nothing. The name
// is given without ".qm", which the translator adds first.
void install(const QString &name)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QString::fromLatin1(translationFolder) + name))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

QString chooseLanguage(const QStringList &uiLanguages, const QStringList &translations)
{
    for (const QString &uiLanguage : uiLanguages) {
        const QString language = speaksAs(uiLanguage, translations);
        if (!language.isEmpty())
            return language;
    }
    return translations.contains(QStringLiteral("en")) ? QStringLiteral("en") : sourceLanguage();
}

void speakUsersLanguage()
{
    speak(chooseLanguage(QLocale::system().uiLanguages(), bundledTranslations()));
}

void speak(const QString &language)
{
    if (language != sourceLanguage())
        install(QStringLiteral("deskMemo_") + language);
    install(QStringLiteral("qtbase_") + language);
}

} // namespace app
