// screens OUTDIR: renders every registered screen of the program in its
// typical state, shown as the operator sees it, in every language of the
// configuration database, for people to look at: on the design's screen of
// 800 x 600 into OUTDIR as <form name>-<two letters of the language>.png,
// and with screen scaling on for panels of 1024 x 768 and 1920 x 1080 under
// the same names into OUTDIR/1024x768/ and OUTDIR/1920x1080/. At every size
// it reports every caption that does not fit its control and every control
// that lies partly over a band its screen paints or over another control: it
// ends with 1 when a screen could not be drawn or when it reports anything.
// The screens run on a program folder of their own (a copy of the database)
// and on a simulated bus line, so nothing of a real panel is touched.

#include "tools/screens/CaptionCheck.h"
#include "tools/screens/GalleryEntries.h"
#include "tools/screens/OverlapCheck.h"

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
#include "program/core/Global.h"
#include "program/core/EnginePrinter.h"
#include "program/core/FormNames.h"
#include "program/core/Globals.h"
#include "program/runtime/DirectPrinting.h"
#include "program/runtime/HistoProcs.h"
#include "tools/modsim/SimSerialControl.h"
#include "tools/modsim/Simulator.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTextStream>

#include <algorithm>

namespace {

QTextStream err(stderr);

// A bus line with no module on it: the engine form opens it and stays idle.
// The engine's printer is the program's, never opened here: nothing prints.
void simulatedBus()
{
    EnginePrinter::setFactory([] { return std::make_shared<DirectPrinting>(); });
    static modsim::Simulator simulator;
    wPolling::setPortFactory(
        [] { return std::make_unique<modsim::SimSerialControl>(simulator, plat::systemClock()); });
    PollingSeams::installed().newDetector = [] { return plat::ComPtr<Stillmark::_ActivityDetect>(); };
    PollingSeams::installed().message = [](const QString& text, int) {
        err << "engine message: " << text << "\n";
        return 1;
    };
}

// The screens' program folder, under a plain name as a panel's folder has
// (the screens show it): "PLX2" in the temporary folder, numbered when
// another gallery holds that name; removed at the end.
class ProgramFolder {
public:
    ProgramFolder()
    {
        const QDir temp(QDir::tempPath());
        for (int n = 1; n <= 100 && m_path.isEmpty(); ++n) {
            const QString name = n == 1 ? QStringLiteral("PLX2") : QStringLiteral("PLX2-%1").arg(n);
            // Fails on a folder that exists: nobody else's folder is used.
            if (temp.mkdir(name))
                m_path = temp.filePath(name);
        }
    }
    ~ProgramFolder()
    {
        if (!m_path.isEmpty())
            QDir(m_path).removeRecursively();
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// The panels drawn: the design's screen, then scaled ones in folders of their own.
struct Panel {
    QSize screen;
    QString folder;
};
const Panel kPanels[] = {
    {{800, 600}, {}},
    {{1024, 768}, QStringLiteral("1024x768")},
    {{1920, 1080}, QStringLiteral("1920x1080")},
};

// Draws the screen, shown, into file and reports its captions that do not
// fit and its controls that lie partly over a band or another control.
bool render(const GalleryEntry& entry, const QString& file, int& misfits)
{
    plat::Forms::Unload(plat::Forms::Find(entry.form));
    if (entry.before)
        entry.before();
    plat::Form* form = plat::Forms::Get(entry.form);
    if (entry.prepare)
        entry.prepare(form);
    // A list, a grid or a box lays out its scroll bars only once shown.
    if (!form->isVisible())
        form->Show();
    form->ensurePolished();
    QCoreApplication::processEvents();
    const bool saved = form->grab().save(file, "PNG");
    const QString shown = QFileInfo(file).dir().dirName() + QLatin1Char('/') + QFileInfo(file).fileName();
    for (const CaptionCheck::Misfit& m : CaptionCheck::misfits(form)) {
        err << shown << ": " << CaptionCheck::describe(m) << "\n";
        ++misfits;
    }
    for (const OverlapCheck::Overlap& o : OverlapCheck::overlaps(form)) {
        err << shown << ": " << OverlapCheck::describe(o) << "\n";
        ++misfits;
    }
    // The engine stays loaded, its window hidden, as in the program.
    if (entry.form == FormNames::wPolling)
        form->Hide();
    else
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
    ProgramFolder folder;
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
    int misfits = 0;
    gNoResize = false;
    for (const Panel& panel : kPanels) {
        const QString dir = panel.folder.isEmpty() ? out : out + QLatin1Char('/') + panel.folder;
        if (!QDir().mkpath(dir)) {
            err << "cannot create " << dir << "\n";
            return 1;
        }
        Global::SetScalingScreen(panel.screen);
        // The engine form is scaled as it loads: it loads again on this panel.
        plat::Forms::UnloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (int language = 0; !Config::GetLanguage(language).isEmpty(); ++language) {
            gLanguage = language;
            const QString suffix = Config::GetLanguage(language).left(2).toLower();
            for (const GalleryEntry& entry : screens) {
                ReplaceConfig(std::make_unique<ConfigClass>());
                gUserLevel = 0;
                const QString file =
                    dir + QLatin1Char('/') + entry.form + QLatin1Char('-') + suffix + QStringLiteral(".png");
                bool saved = false;
                plat::guard(QStringLiteral("screens.") + entry.form, [&] { saved = render(entry, file, misfits); });
                if (!saved) {
                    err << "not rendered: " << file << "\n";
                    ++failures;
                }
            }
        }
    }
    plat::Forms::UnloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (misfits > 0)
        err << misfits << " captions or controls do not fit\n";
    return failures == 0 && misfits == 0 ? 0 : 1;
}
