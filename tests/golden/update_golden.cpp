// Stores the dumps of the golden scenarios as they come out now (all of them,
// or the ones named on the command line). Run it through scripts/update-golden
// only after looking at why a dump changed.
#include "golden.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) names.push_back(argv[i]);
    if (names.empty()) names = golden::ScenarioNames();
    int status = 0;
    for (const std::string& name : names) {
        QTemporaryDir dir;
        golden::PrepareFolder(dir.path());
        QString errors;
        if (golden::Play(dir.path(), name, &errors) != 0) {
            std::cerr << name << ": the replay failed:\n" << errors.toStdString();
            status = 1;
            continue;
        }
        QDir(QString::fromStdString(golden::ExpectedDir + "/" + name)).removeRecursively();
        std::string previous[5];
        for (const std::string& dump : golden::DumpNames(golden::ScenarioText(name))) {
            const std::string stored = golden::ExpectedDir + "/" + name + "/" + dump;
            QDir().mkpath(QString::fromStdString(stored));
            for (int f = 0; f < 5; ++f) {
                bool ok = false;
                const std::string bytes = golden::ReadMaybeGz(
                    (dir.path() + "/" + QString::fromStdString(dump) + "/" + golden::DumpFiles[f])
                        .toStdString(),
                    ok);
                if (bytes == previous[f]) continue; // same as in the previous dump
                golden::WriteGz(stored + "/" + golden::DumpFiles[f] + ".gz", bytes);
                previous[f] = bytes;
            }
        }
        std::cout << name << ": stored\n";
    }
    return status;
}
