#include "sweep_output.h"

std::optional<TSweep> PictureSweep(TSession& s, const TAnalysisChoice& choice, int32_t bar) {
    if (!choice.Sweep || !s.LastPass) return std::nullopt;
    TPassOptions o;
    o.ByPlane = s.LastPass->Plane >= 0;
    if (o.ByPlane) o.Plane = s.LastPass->Plane;
    return SweepThresholds(s, o, bar);
}

std::unique_ptr<QGuiApplication> FontsForSweeps(const TBatchOptions& o, int& argc, char** argv) {
    if (!o.Choice.Sweep || QGuiApplication::instance()) return nullptr;
    qputenv("QT_QPA_PLATFORM", "offscreen"); // a batch shows nothing
    // What the application says of its setting up (such as a missing
    // XDG_RUNTIME_DIR) is no news for the batch's user.
    const QtMessageHandler before =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    qInstallMessageHandler(before);
    return app;
}
