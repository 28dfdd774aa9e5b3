#include "collectcommand.h"
#include "headless.h"

#include <csignal>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include "exchange/csvreader.h"
#include "surveyweb/surveyserver.h"
#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "store/projectlock.h"
#include "survey/surveycode.h"
#include "survey/surveyintake.h"

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void RequestStop(int)
{
    g_stopRequested = 1;
}

void Fail(const std::string& text)
{
    std::cerr << "tremlow collect: " << text << '\n';
}

bool WriteCodes(const std::string& path, const TSurveyCollection& collection)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << CsvRecord({"client_id", "name", "code"});
    for (const TSurveyPupil& pupil : collection.Setup().Pupils)
        out << CsvRecord({std::to_string(pupil.Id), pupil.Name, PrintedSurveyCode(collection.CodeOf(pupil.Id))});
    out.close();
    return static_cast<bool>(out);
}

} // namespace

int RunCollect(int argc, char** argv)
{
    CLI::App cli("Collects the pupils' answers to an investigation from their browsers, then saves them "
                 "into the project.",
                 "tremlow collect");
    std::string project;
    int investId = 0;
    std::string listenAddress;
    int port = 8471;
    std::string codesOut;
    double minutes = 0;
    bool untilAll = false;
    bool keepExisting = false;
    cli.add_option("project", project, "project file (.soi)")->required();
    cli.add_option("--investigation", investId, "investigation identifier")->required();
    cli.add_option("--listen", listenAddress, "address of the network interface to serve on, besides loopback (default: the first one)");
    cli.add_option("--port", port, "port to serve on (0: any free port)")->check(CLI::Range(0, 65535));
    cli.add_option("--codes-out", codesOut, "CSV file for the pupils' codes (client id, name, code)");
    auto* until = cli.add_flag("--until-all", untilAll, "serve until every pupil has answered (the default)");
    cli.add_option("--for", minutes, "serve for at most this many minutes")->check(CLI::PositiveNumber)->excludes(until);
    cli.add_flag("--keep-existing", keepExisting,
                 "keep the earlier choices of pupils who had some (by default their answer replaces them)");
    if (const std::optional<int> ended = ParseHeadlessCommand(cli, argc, argv))
        return *ended;
    QCoreApplication app(argc, argv);
    const QString address = listenAddress.empty() ? TSurveyServer::CandidateAddresses().first()
                                                  : QString::fromStdString(listenAddress);
    InstallHeadlessCatalogue(QCoreApplication::applicationDirPath().toStdString());
    TFileAccess store;
    // The project is changed at the end, so no other program may change it meanwhile.
    TProjectLock lock;
    if (!lock.Acquire(project, "tremlow collect")) {
        Fail(LockRefusedText(project, lock));
        return 1;
    }
    if (lock.TookOverStale())
        std::cerr << "tremlow collect: " << project << ": " << StaleLockText(lock.Holder()) << '\n';
    if (!LoadHeadlessProject(store, "collect", project, investId))
        return 1;
    const std::optional<TSurveySetup> setup = SurveySetupOf(store, investId);
    if (setup->Pupils.size() < 2) {
        Fail("the investigation's client group has fewer than two members");
        return 1;
    }
    TSurveyCollection collection(*setup);
    if (!codesOut.empty() && !WriteCodes(codesOut, collection)) {
        Fail("cannot write the codes to " + codesOut);
        return 1;
    }
    TSurveyServer server(collection);
    if (!server.Start(address, static_cast<quint16>(port))) {
        Fail("cannot listen on " + address.toStdString() + " port " + std::to_string(port) +
             " (is it an IP address of this computer, and is the port free?)");
        return 1;
    }
    const int pupils = static_cast<int>(setup->Pupils.size());
    std::cout << "Address: " << server.Url().toStdString() << '\n'
              << "Investigation: " << setup->InvestName << " (" << pupils << " pupils)" << std::endl;
    QObject::connect(&server, &TSurveyServer::Answered, &app, [&](int pupilId) {
        std::cout << "Answered: " << pupilId << " (" << collection.AnsweredCount() << " of " << pupils << ")"
                  << std::endl;
    });

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    QDeadlineTimer deadline(QDeadlineTimer::Forever);
    if (minutes > 0)
        deadline.setRemainingTime(static_cast<qint64>(minutes * 60'000));
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (g_stopRequested || deadline.hasExpired() || collection.AllAnswered())
            app.quit();
    });
    watch.start(100);
    app.exec();
    server.Stop();

    const std::vector<TSurveyAnswer> answers = collection.Answers();
    if (answers.empty()) {
        std::cout << "No answers arrived; the project is unchanged." << std::endl;
        return 0;
    }
    const TSurveyIntake intake = PlanSurveyIntake(store, investId, answers, !keepExisting);
    ApplyStoredChoices(store, investId, intake.After);
    if (!store.Save()) {
        Fail("the project could not be saved: " + project);
        return 1;
    }
    std::cout << collection.AnsweredCount() << " of " << pupils << " pupils answered; " << intake.Taken
              << " answers taken in";
    if (intake.Replaced > 0)
        std::cout << ", " << intake.Replaced << " replacing earlier choices";
    if (intake.Kept > 0)
        std::cout << ", " << intake.Kept << " left out to keep earlier choices";
    std::cout << ". Saved " << project << std::endl;
    return 0;
}
