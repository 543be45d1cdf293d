// Stores the dumps of the golden scenarios as they come out now (all of them,
// or the ones named on the command line). Run it through scripts/update-golden
// only after looking at why a dump changed.
#include "golden.h"

#include <QCoreApplication>

#include <iostream>
#include <map>

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
        std::map<std::string, std::string> previous; // stored part -> bytes
        for (const std::string& dump : golden::DumpNames(golden::ScenarioText(name))) {
            const std::string stored = golden::ExpectedDir + "/" + name + "/" + dump;
            QDir().mkpath(QString::fromStdString(stored));
            for (const std::string file : golden::DumpFiles) {
                bool ok = false;
                const std::string bytes =
                    golden::ReadMaybeGz(dir.path().toStdString() + "/" + dump + "/" + file, ok);
                const std::vector<std::string> parts = golden::StoredParts(file);
                for (size_t i = 0; i < parts.size(); ++i) {
                    const std::string part = golden::Part(bytes, file, i);
                    auto found = previous.find(parts[i]);
                    // A part as in the previous dump is not stored again; state.json
                    // always is, so that every dump has a folder git keeps.
                    if (found != previous.end() && found->second == part && file != "state.json")
                        continue;
                    golden::WriteGz(stored + "/" + parts[i] + ".gz", part);
                    previous[parts[i]] = part;
                }
            }
        }
        std::cout << name << ": stored\n";
    }
    return status;
}
