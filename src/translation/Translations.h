#pragma once

#include <QString>

// The language of everything the program shows. The Japanese texts are the sources themselves,
// so Japanese needs no catalogue of ours; English comes from the catalogue built into the
// program. Installing a language sends every widget a QEvent::LanguageChange.
class Translations {
public:
    static constexpr const char* Japanese = "ja";
    static constexpr const char* English = "en";
    // The choice in the settings file, which the window writes and the command line follows.
    static constexpr const char* SettingsSection = "View";
    static constexpr const char* SettingsKey = "Language";
    // Where the compiled catalogues live inside the program's resources.
    static constexpr const char* CatalogueFolder = ":/translations";

    // The language itself when it is one of ours, otherwise Japanese.
    static QString Supported(const QString& language);
    // Removes the translators of the previous language and installs those of this one (an
    // unknown language counts as Japanese). False when our own catalogue could not be loaded:
    // the texts then stay Japanese. Qt's own Japanese texts are used where they are installed.
    static bool Install(const QString& language);
    // The language installed last; Japanese before any.
    static QString Current();
};
