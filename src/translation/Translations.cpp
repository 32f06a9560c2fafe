#include "translation/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>
#include <vector>

namespace {

struct InstalledLanguage {
    QString Language = Translations::Japanese;
    std::vector<std::unique_ptr<QTranslator>> Translators;
};

InstalledLanguage& Installed() {
    static InstalledLanguage installed;
    return installed;
}

std::unique_ptr<QTranslator> Load(const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder))
        return nullptr;
    return translator;
}

} // namespace

QString Translations::Supported(const QString& language) {
    return language == English ? English : Japanese;
}

bool Translations::Install(const QString& language) {
    InstalledLanguage& installed = Installed();
    for (const auto& translator : installed.Translators)
        QCoreApplication::removeTranslator(translator.get());
    installed.Translators.clear();
    installed.Language = Supported(language);

    bool ok = true;
    if (installed.Language == English) {
        std::unique_ptr<QTranslator> ours = Load("kestrin6editor_en", CatalogueFolder);
        ok = ours != nullptr;
        if (ours)
            installed.Translators.push_back(std::move(ours));
    } else {
        // The standard dialogs' buttons in Japanese too, where Qt's catalogue is installed.
        std::unique_ptr<QTranslator> qt =
            Load("qtbase_ja", QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        if (qt)
            installed.Translators.push_back(std::move(qt));
    }
    for (const auto& translator : installed.Translators)
        QCoreApplication::installTranslator(translator.get());
    if (!ok)
        installed.Language = Japanese;
    return ok;
}

QString Translations::Current() {
    return Installed().Language;
}
