// vornexinfo: asks for whatever start-up still needs, loads the game files and opens the map window.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "app/datapaths.h"
#include "app/programstate.h"
#include "app/qsettingsstore.h"
#include "app/startup.h"
#include "io/fileexists.h"
#include "ui/dialogs.h"
#include "ui/frmmap.h"

namespace {

// Start-up questions in the toolkit's input box; Cancel ends the questions.
class DialogPrompter : public vornex::Prompter {
public:
    std::optional<std::string> ask(const std::string& prompt, const std::string& title) override
    {
        auto answer = vornex::ui::askText(nullptr, QString::fromStdString(title), QString::fromStdString(prompt));
        if (!answer) return std::nullopt;
        return answer->toStdString();
    }
};

const char* const kUsage = "Usage: vornexinfo [--demo] [--help]\n"
                           "\n"
                           "Shows the galaxy map and planet details of a game's exported reports.\n"
                           "On the first start it asks for the folder of the game files, your player\n"
                           "number and the game name, and remembers them.\n"
                           "\n"
                           "  --demo   open the demo galaxy from a temporary copy; your own settings and\n"
                           "           game files are not touched\n"
                           "  --help   show this text\n";

// Copies the demo galaxy into folder; false when nothing could be copied.
bool copyDemo(const QString& folder)
{
    QDir source(vornex::demoFolder());
    if (!source.exists()) return false;
    int copied = 0;
    for (const QFileInfo& f : source.entryInfoList(QDir::Files)) {
        if (QFile::copy(f.absoluteFilePath(), QDir(folder).filePath(f.fileName()))) ++copied;
    }
    return copied > 0;
}

} // namespace

int main(int argc, char** argv)
{
    bool demo = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--demo") {
            demo = true;
        } else {
            std::fprintf(stderr, "vornexinfo: unknown option %s\n\n%s", argv[i], kUsage);
            return 2;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("VornexInfo");

    std::unique_ptr<QTemporaryDir> demoDir;
    std::unique_ptr<vornex::QSettingsStore> settings;
    if (demo) {
        demoDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/vornexinfo-demo-XXXXXX");
        if (!demoDir->isValid() || !copyDemo(demoDir->path())) {
            std::fprintf(stderr, "vornexinfo: cannot prepare the demo galaxy from %s\n",
                         qPrintable(QDir::toNativeSeparators(vornex::demoFolder())));
            return 1;
        }
        const std::string folder = QDir::toNativeSeparators(demoDir->path() + "/").toStdString();
        settings = std::make_unique<vornex::QSettingsStore>(demoDir->filePath("settings.ini").toStdString());
        settings->write(vornex::kApplication, "Startup", "FileLocations", folder);
        settings->write(vornex::kApplication, "Settings", "GameName", "game");
        settings->write(vornex::kApplication, "Settings", "YourNumber", "1");
        std::printf("Demo galaxy copied to %s\n", folder.c_str());
    } else {
        settings = std::make_unique<vornex::QSettingsStore>();
    }

    vornex::ProgramState state;
    DialogPrompter prompter;
    if (vornex::Main(state, *settings, prompter, vornex::FileExists) == vornex::StartupResult::Cancelled) return 0;

    if (demo) {
        // A line on the terminal that says what was loaded, before the window takes over.
        size_t reported = 0;
        std::set<std::string> owners;
        for (const auto& planet : state.AllPlanets) {
            if (planet->ReportAge != -1) ++reported;
            if (!planet->Owner.empty() && planet->Owner != "Uninhabited") owners.insert(planet->Owner);
        }
        std::printf("%lld planets, %zu reported, %zu owner races, %zu rejected lines\n",
                    static_cast<long long>(state.AllPlanets.Count()), reported, owners.size(),
                    state.diagnostics.size());
        std::fflush(stdout);
    }

    int result = 0;
    {
        vornex::ui::frmMap window(state, *settings, prompter);
        window.show();
        result = app.exec();
    }
    settings->sync();
    return result;
}
