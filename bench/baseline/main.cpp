// The minimal Qt WebEngine program the start-up, search and memory figures are measured against: one
// window with a tab per address, each tab a plain QWebEngineView, and nothing else. It writes one JSON
// line per event to stdout, each with "event" and "t_ms" (milliseconds since the epoch):
//   window_shown, load_finished {view, url, ok}, all_loaded {round}, then_dispatched {round, count,
//   dispatch_us}, lifecycle_set.
//
// Usage: bench_baseline [--profile DIR] [--then FILE]... [--then-delay MS]
//                       [--hidden-lifecycle frozen|discarded] [--lifecycle-delay MS] URL...
//   --profile DIR       a disk profile in DIR (cache and storage), like the program's; off the record
//                       without it
//   --then FILE         once every view has loaded, wait --then-delay ms (default 1000) and navigate view
//                       i to line i of FILE; "all_loaded" of the next round follows when those have
//                       loaded. Given again, the next file makes the round after that. "then_dispatched"
//                       says how long the navigation calls took (dispatch_us).
//   --hidden-lifecycle  once everything has loaded, put every view but the shown one into that state
//
// It ends on SIGTERM or when the window is closed.

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <csignal>
#include <cstdio>
#include <vector>

namespace {

void emitEvent(const char* name, QJsonObject fields = {}) {
    fields.insert(QStringLiteral("event"), QString::fromLatin1(name));
    fields.insert(QStringLiteral("t_ms"), QDateTime::currentMSecsSinceEpoch());
    const QByteArray line = QJsonDocument(fields).toJson(QJsonDocument::Compact);
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QUrl toUrl(const QString& address) {
    if (address.startsWith('/')) return QUrl::fromLocalFile(address);
    return QUrl(address, QUrl::TolerantMode);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::signal(SIGTERM, [](int) { QCoreApplication::quit(); });

    QString profileDir, lifecycle;
    QStringList thenFiles;
    int thenDelayMs = 1000, lifecycleDelayMs = 1000;
    QStringList addresses;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--profile" && hasValue) profileDir = args[++i];
        else if (a == "--then" && hasValue) thenFiles << args[++i];
        else if (a == "--then-delay" && hasValue) thenDelayMs = args[++i].toInt();
        else if (a == "--hidden-lifecycle" && hasValue) lifecycle = args[++i];
        else if (a == "--lifecycle-delay" && hasValue) lifecycleDelayMs = args[++i].toInt();
        else addresses << a;
    }
    if (addresses.isEmpty()) {
        std::fprintf(stderr, "usage: bench_baseline [options] URL...\n");
        return 2;
    }
    // The addresses of round 2, 3, ...
    std::vector<QStringList> thenRounds;
    for (const QString& name : thenFiles) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) return 2;
        QStringList round;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.trimmed().isEmpty()) round << QString::fromUtf8(line.trimmed());
        thenRounds.push_back(round);
    }

    QWebEngineProfile* profile = profileDir.isEmpty() ? new QWebEngineProfile(&app)
                                                      : new QWebEngineProfile(QStringLiteral("bench"), &app);
    if (!profileDir.isEmpty()) {
        profile->setPersistentStoragePath(profileDir + "/storage");
        profile->setCachePath(profileDir + "/cache");
        profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    }

    auto* window = new QTabWidget;
    window->resize(1024, 768);
    std::vector<QWebEngineView*> views;
    std::vector<bool> loaded(static_cast<size_t>(addresses.size()), false);
    int round = 1;
    int pending = static_cast<int>(addresses.size());

    auto roundDone = [&] {
        emitEvent("all_loaded", {{"round", round}});
        if (round <= static_cast<int>(thenRounds.size())) {
            QTimer::singleShot(thenDelayMs, [&] {
                const QStringList& next = thenRounds[static_cast<size_t>(round - 1)];
                ++round;
                pending = 0;
                std::fill(loaded.begin(), loaded.end(), true);
                QElapsedTimer dispatch;
                dispatch.start();
                for (int i = 0; i < next.size() && i < static_cast<int>(views.size()); ++i) {
                    loaded[static_cast<size_t>(i)] = false;
                    ++pending;
                    views[static_cast<size_t>(i)]->load(toUrl(next[i]));
                }
                const qint64 us = dispatch.nsecsElapsed() / 1000;
                emitEvent("then_dispatched", {{"round", round}, {"count", pending}, {"dispatch_us", us}});
            });
        } else if (!lifecycle.isEmpty()) {
            QTimer::singleShot(lifecycleDelayMs, [&] {
                const auto state = lifecycle == "discarded" ? QWebEnginePage::LifecycleState::Discarded
                                                            : QWebEnginePage::LifecycleState::Frozen;
                for (QWebEngineView* view : views)
                    if (view != window->currentWidget()) view->page()->setLifecycleState(state);
                emitEvent("lifecycle_set", {{"state", lifecycle}});
            });
        }
    };

    for (int i = 0; i < addresses.size(); ++i) {
        auto* view = new QWebEngineView;
        view->setPage(new QWebEnginePage(profile, view));
        views.push_back(view);
        window->addTab(view, QString::number(i + 1));
        QObject::connect(view, &QWebEngineView::loadFinished, [&, i, view](bool ok) {
            emitEvent("load_finished",
                      {{"view", i}, {"url", view->url().toString(QUrl::FullyEncoded)}, {"ok", ok}});
            if (loaded[static_cast<size_t>(i)]) return;
            loaded[static_cast<size_t>(i)] = true;
            if (--pending == 0) roundDone();
        });
    }
    // Loads first, then the window, the order the program follows.
    for (int i = 0; i < addresses.size(); ++i) views[static_cast<size_t>(i)]->load(toUrl(addresses[i]));
    window->show();
    emitEvent("window_shown");

    const int rc = app.exec();
    // Pages go before their profile.
    delete window;
    return rc;
}
