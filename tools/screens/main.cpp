// screens OUTDIR: renders every registered screen of the program in its
// typical state, in every language of the configuration database, into
// OUTDIR as <form name>-<two letters of the language>.png, for people to
// look at.
// The screens run on a program folder of their own (a copy of the database)
// and on a simulated bus line, so nothing of a real panel is touched.

#include "tools/screens/GalleryEntries.h"

#include "platform/AppIdentity.h"
#include "platform/Captions.h"
#include "platform/Forms.h"
#include "platform/Guard.h"
#include "platform/Theme.h"
#include "program/App.h"
#include "program/bus/DispatchSeams.h"
#include "program/bus/PollingSeams.h"
#include "program/bus/wPolling.h"
#include "program/core/Config.h"
#include "program/core/ConfigClass.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/runtime/HistoProcs.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

QTextStream err(stderr);

// A bus line with no module on it: the engine form opens it and stays idle.
void simulatedBus()
{
    static modsim::Simulator simulator;
    wPolling::setPortFactory(
        [] { return std::make_unique<modsim::SimSerialControl>(simulator, plat::systemClock()); });
    PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
    PollingSeams::installed().message = [](const QString& text, int) {
        err << "engine message: " << text << "\n";
        return 1;
    };
}

bool render(const GalleryEntry& entry, const QString& file)
{
    plat::Forms::Unload(plat::Forms::Find(entry.form));
    if (entry.before)
        entry.before();
    plat::Form* form = plat::Forms::Get(entry.form);
    if (entry.prepare)
        entry.prepare(form);
    form->ensurePolished();
    QCoreApplication::processEvents();
    const bool saved = form->grab().save(file, "PNG");
    if (entry.form != FormNames::wPolling)
        plat::Forms::Unload(form);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        err << "usage: screens OUTDIR\n";
        return 2;
    }
    const QString out = QFileInfo(app.arguments().at(1)).absoluteFilePath();
    if (!QDir().mkpath(out)) {
        err << "cannot create " << out << "\n";
        return 1;
    }
    plat::Theme::apply(app);
    plat::setErrorReporter([](const QString& name, const plat::RtError& e) {
        err << "error " << e.number() << " in " << name << ": " << e.description() << "\n";
    });

    // The program's components stay registered where the tool lives; the
    // screens' files go to a folder of their own.
    const QString home = plat::AppIdentity::programFolder();
    if (qEnvironmentVariableIsEmpty("PLX_REGISTRY_FILE"))
        qputenv("PLX_REGISTRY_FILE", QFile::encodeName(home + QStringLiteral("/Registry.ini")));
    QTemporaryDir folder;
    if (!folder.isValid() || !QFile::copy(home + QStringLiteral("/PLX2.cfg"), folder.path() + QStringLiteral("/PLX2.cfg"))) {
        err << "cannot prepare a program folder with " << home << "/PLX2.cfg\n";
        return 1;
    }
    plat::AppIdentity::setProgramFolder(folder.path());
    plat::AppIdentity::setExeBaseName(QStringLiteral("PLX2"));
    if (!Config::OpenConfigBase())
        return 1;
    plat::setCaptionSource([](const QString& id) { return Config::GetText(id); });
    App::registerForms();
    Dispatch::installed().rules = &HistoProcs::Rules();
    simulatedBus();

    // The screens with a typical state of their own, then every other registered form.
    std::vector<GalleryEntry> screens = galleryEntries();
    for (const QString& name : plat::Forms::registeredNames())
        if (std::none_of(screens.begin(), screens.end(), [&](const GalleryEntry& e) { return e.form == name; }))
            screens.push_back({name, {}, {}});

    int failures = 0;
    for (int language = 0; !Config::GetLanguage(language).isEmpty(); ++language) {
        gLanguage = language;
        const QString suffix = Config::GetLanguage(language).left(2).toLower();
        for (const GalleryEntry& entry : screens) {
            ReplaceConfig(std::make_unique<ConfigClass>());
            gUserLevel = 0;
            const QString file = out + QLatin1Char('/') + entry.form + QLatin1Char('-') + suffix + QStringLiteral(".png");
            bool saved = false;
            plat::guard(QStringLiteral("screens.") + entry.form, [&] { saved = render(entry, file); });
            if (!saved) {
                err << "not rendered: " << file << "\n";
                ++failures;
            }
        }
    }
    plat::Forms::UnloadAllExcept({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return failures == 0 ? 0 : 1;
}
