// vornexinfo: asks for whatever start-up still needs, loads the game files and opens the map window.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "app/backgroundread.h"
#include "app/commandline.h"
#include "app/datapaths.h"
#include "app/programstate.h"
#include "app/qsettingsstore.h"
#include "app/starttrace.h"
#include "app/startup.h"
#include "io/fileexists.h"
#include "io/memorysettings.h"
#include "io/platform.h"
#include "program/console.h"
#include "ui/dialogs.h"
#include "ui/folderquestion.h"
#include "ui/mapwindow.h"

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
    // The folder question offers Browse and the demo galaxy, says why the last answer was not
    // taken and offers it again.
    vornex::FolderAnswer askFolder(const std::string& prompt, const std::string& title, const std::string& why) override
    {
        auto answer = vornex::ui::askFolder(nullptr, QString::fromStdString(title), QString::fromStdString(prompt),
                                            QString::fromStdString(why), m_lastFolder);
        if (answer.kind == vornex::FolderAnswer::Kind::Folder) m_lastFolder = QString::fromStdString(answer.folder);
        return answer;
    }

private:
    QString m_lastFolder;
};

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

// A line on the terminal that says what was loaded, before the window takes over.
void printDemoSummary(const vornex::ProgramState& state)
{
    size_t reported = 0;
    std::set<std::string> owners;
    for (const auto& planet : state.AllPlanets) {
        if (planet->ReportAge != -1) ++reported;
        if (!planet->Owner.empty() && planet->Owner != "Uninhabited") owners.insert(planet->Owner);
    }
    std::printf("%lld planets, %zu reported, %zu owner races, %zu rejected lines\n",
                static_cast<long long>(state.AllPlanets.Count()), reported, owners.size(), state.diagnostics.size());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    vornex::traceStartStep("main started");
    vornex::platform::prepareHeapForLoading();
    vornex::attachParentConsole();
    // Help, version and bad values are answered before the toolkit starts, so that they work
    // without a display, unless the toolkit's own options (-style, -platform) are to be taken out
    // first.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    std::unique_ptr<QApplication> app;
    if (vornex::hasToolkitOptions(arguments)) {
        app = std::make_unique<QApplication>(argc, argv);
        arguments = QApplication::arguments();
    }
    const vornex::CommandLine cl = vornex::parseCommandLine(arguments);
    switch (cl.action) {
    case vornex::CommandLine::Action::Help:
    case vornex::CommandLine::Action::Version:
        std::fputs(qPrintable(cl.text + (cl.text.endsWith('\n') ? "" : "\n")), stdout);
        return 0;
    case vornex::CommandLine::Action::Error:
        std::fprintf(stderr, "%s\n", qPrintable(cl.text));
        return 2;
    case vornex::CommandLine::Action::Run:
        break;
    }
    bool demo = cl.demo;
    std::unique_ptr<QTemporaryDir> demoDir;
    std::unique_ptr<vornex::QSettingsStore> settings;
    // A game the settings (or the command line) name completely is read on a thread of its own
    // while the toolkit starts and the window is built; any question goes the usual way below.
    std::unique_ptr<vornex::BackgroundRead> reading;
    vornex::Game found;
    if (!demo) {
        settings = std::make_unique<vornex::QSettingsStore>();
        // A game named on the command line is opened without questions and becomes the current one.
        if (cl.game) {
            vornex::storeGameChoice(*settings, *cl.game);
            vornex::rememberGame(*settings, *cl.game);
        }
        vornex::FixedAnswer noQuestions;
        if (vornex::findGame(found, *settings, noQuestions, vornex::FileExists) == vornex::StartupResult::Ready)
            reading = std::make_unique<vornex::BackgroundRead>(found);
    }

    if (!app) app = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName("VornexInfo");
    vornex::traceStartStep("toolkit started");
    // The demo galaxy runs on a temporary copy with settings of its own: the user's stay as they are.
    auto prepareDemo = [&] {
        demoDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/vornexinfo-demo-XXXXXX");
        if (!demoDir->isValid() || !copyDemo(demoDir->path())) {
            std::fprintf(stderr, "vornexinfo: cannot prepare the demo galaxy from %s\n",
                         qPrintable(QDir::toNativeSeparators(vornex::demoFolder())));
            return false;
        }
        const std::string folder = QDir::toNativeSeparators(demoDir->path() + "/").toStdString();
        settings = std::make_unique<vornex::QSettingsStore>(demoDir->filePath("settings.ini").toStdString());
        vornex::writeGameSettings(*settings, vornex::Game{folder, "game", vornex::playerNumberOf(1)});
        std::printf("Demo galaxy copied to %s\n", folder.c_str());
        return true;
    };
    if (demo && !prepareDemo()) return 1;

    vornex::ProgramState state;
    DialogPrompter prompter;
    std::function<void()> tablesRead;
    if (reading) {
        state.game = found;
        state.view = vornex::storedView(*settings);
        tablesRead = [&] { vornex::takeTables(state, reading->take()); };
    } else {
        vornex::StartupResult started = vornex::startGame(state, *settings, prompter, vornex::FileExists);
        if (started == vornex::StartupResult::Demo) {
            // Chosen at the first start's folder question.
            demo = true;
            if (!prepareDemo()) return 1;
            state = vornex::ProgramState();
            started = vornex::startGame(state, *settings, prompter, vornex::FileExists);
        }
        if (started != vornex::StartupResult::Ready) return 0;
        if (demo) printDemoSummary(state);
    }

    int result = 0;
    {
        vornex::ui::MapWindow window(state, *settings, prompter, tablesRead);
        window.show();
        result = app->exec();
    }
    settings->sync();
    return result;
}
