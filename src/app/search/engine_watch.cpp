#include "search/engine_watch.h"

#include <QTimer>
#include <utility>

#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "shell/wait_window_state.h"

namespace pluvik {

namespace {

// The engine's code for a load given up because another began in its page.
constexpr int kAbortedLoad = -3;

}  // namespace

EngineHealthLog::EngineHealthLog(std::filesystem::path file, QObject* parent)
    : QObject(parent), m_file(std::move(file)), m_health(EngineHealth::load(m_file)) {}

EngineHealthLog::~EngineHealthLog() {
    save();
}

void EngineHealthLog::record(const QString& key, const EngineOutcome& outcome) {
    m_health.record(toStd(key), outcome);
    emit recorded(key);
}

EngineHealth::Summary EngineHealthLog::summary(const QString& key) const {
    return m_health.summary(toStd(key));
}

void EngineHealthLog::save() {
    if (m_health.changed()) static_cast<void>(m_health.save(m_file));
}

EngineFollower::EngineFollower(Trace& trace, BrowserView* view, QString key, std::optional<int> tab,
                               EngineHealthLog* health, Deadline deadline, QObject* parent)
    : QObject(parent), m_trace(trace), m_view(view), m_key(std::move(key)), m_tab(tab), m_health(health) {
    m_clock.start();
    // A told follower runs it only for a try of its engine.
    m_ownDeadline = deadline == Deadline::Own;
    m_deadline = new QTimer(this);
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(static_cast<int>(WaitWindowState::kPagesOpenedDeadlineMs));
    connect(m_deadline, &QTimer::timeout, this, &EngineFollower::deadlinePassed);
    m_checkDue = new QTimer(this);
    m_checkDue->setSingleShot(true);
    m_checkDue->setInterval(kCheckHoldMs);
    connect(m_checkDue, &QTimer::timeout, this, &EngineFollower::checkDue);
    connect(view, &BrowserView::LoadEnded, this, &EngineFollower::loadEnded);
    connect(view, &BrowserView::KeywordChecked, this, &EngineFollower::keywordChecked);
}

void EngineFollower::searchStarted(const QString& keyword) {
    m_keyword = keyword;
    m_pending.reset();
    m_followed = false;
    m_deadline->stop();
}

void EngineFollower::navigated(const QString& address) {
    m_pending = Pending{EngineReport{toStd(address), m_clock.elapsed(), std::nullopt, 0, false}};
    m_followed = true;
    if (m_ownDeadline) m_deadline->start();
}

void EngineFollower::tried(const QString& keyword, const QString& address) {
    follow(m_key, keyword, address);
    m_deadline->start();
}

void EngineFollower::follow(const QString& key, const QString& keyword, const QString& address) {
    m_key = key;
    searchStarted(keyword);
    navigated(address);
}

void EngineFollower::detach() {
    m_view->disconnect(this);
    m_pending.reset();
}

void EngineFollower::loadEnded(const LoadOutcome& load) {
    // The page's earlier load, broken off by the search's, is not the search's answer.
    if (!m_pending || m_pending->awaitingKeyword || (!load.ok && load.errorCode == kAbortedLoad)) return;
    m_pending->report.load = load;
    m_pending->report.finishedAt = m_clock.elapsed();
    if (!needsKeywordCheck(m_pending->report)) return decide();
    m_pending->awaitingKeyword = true;
    if (m_ownDeadline) return ask();
    m_checkDue->start();
}

void EngineFollower::ask() {
    m_pending->asked = true;
    m_view->checkKeyword(m_keyword);
}

void EngineFollower::askHeld() {
    if (!m_pending || !m_pending->awaitingKeyword || m_pending->asked) return;
    m_checkDue->stop();
    ask();
}

void EngineFollower::checkDue() {
    if (!m_pending || !m_pending->awaitingKeyword) return;
    if (!m_pending->asked) return ask();
    // A question that went out at the deadline was given as long to answer as a held one waits.
    m_pending->report.load.reset();
    decide();
}

void EngineFollower::keywordChecked(bool shown) {
    if (!m_pending || !m_pending->awaitingKeyword) return;
    m_pending->report.keywordShown = shown;
    decide();
}

void EngineFollower::deadlinePassed() {
    if (!m_pending) return;
    // The page loaded in time, its question was still held: it is asked now.
    if (m_pending->awaitingKeyword && !m_pending->asked) {
        ask();
        m_checkDue->start();
        return;
    }
    // A page still busy answering for the keyword has not opened either.
    m_pending->report.load.reset();
    decide();
}

void EngineFollower::decide() {
    m_deadline->stop();
    m_checkDue->stop();
    const EngineOutcome outcome = decideOutcome(std::exchange(m_pending, std::nullopt)->report);
    m_outcome = outcome;
    QVariantMap fields{{"key", m_key},
                       {"outcome", toQ(resultName(outcome.result))},
                       {"status", outcome.status},
                       {"error", outcome.errorCode},
                       {"ms", static_cast<qint64>(outcome.ms)},
                       {"host", toQ(outcome.host)},
                       {"final_host", toQ(outcome.finalHost)}};
    if (m_tab) fields.insert("tab", *m_tab);
    m_trace.record("engine_outcome", fields);
    if (m_health) m_health->record(m_key, outcome);
    emit decided();
}

EngineWatch::EngineWatch(Trace& trace, const Browsers& browsers, const std::filesystem::path& programDir,
                         QObject* parent)
    : QObject(parent), m_health(new EngineHealthLog(programDir / kEngineHealthFileName, this)) {
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        auto* follower = new EngineFollower(trace, browsers.at(static_cast<size_t>(tab)), engineKey(tab), tab,
                                            m_health, EngineFollower::Deadline::Told, this);
        m_followers.at(static_cast<size_t>(tab)) = follower;
        // After the follower has taken the load in.
        connect(browsers.at(static_cast<size_t>(tab)), &BrowserView::LoadEnded, this, &EngineWatch::loadEnded);
        connect(follower, &EngineFollower::decided, this, [this, tab] {
            // Written once a search is tallied, not at every page.
            if (tally()) m_health->save();
            emit outcomeDecided(tab);
        });
    }
}

QString EngineWatch::engineKey(int tab) {
    // The built-in engines go by their catalogue key; the user's two by their slot.
    if (tab >= EngineTable::kDiy1Tab) return QStringLiteral("diy%1").arg(tab - EngineTable::kDiy1Tab + 1);
    return toQ(EngineTable::slot(tab).field);
}

void EngineWatch::searchStarted(const QString& keyword) {
    m_open = true;
    m_stopped = false;
    for (EngineFollower* follower : m_followers) follower->searchStarted(keyword);
}

void EngineWatch::navigated(int tab, const QString& address) {
    if (m_open) follower(tab).navigated(address);
}

void EngineWatch::loadEnded() {
    for (const EngineFollower* follower : m_followers)
        if (follower->loading()) return;
    for (EngineFollower* follower : m_followers) follower->askHeld();
}

void EngineWatch::deadlinePassed() {
    m_open = false;
    for (EngineFollower* follower : m_followers) follower->deadlinePassed();
}

void EngineWatch::stopped() {
    m_open = false;
    m_stopped = true;
    for (EngineFollower* follower : m_followers) follower->forget();
    if (tally()) m_health->save();
}

void EngineWatch::detach() {
    for (EngineFollower* follower : m_followers) follower->detach();
}

std::optional<std::pair<int, int>> EngineWatch::tally() const {
    int followed = 0;
    int ok = 0;
    for (const EngineFollower* follower : m_followers) {
        if (!follower->followed()) continue;
        if (follower->pending()) return std::nullopt;
        ++followed;
        if (follower->outcome()->result == EngineResult::Ok) ++ok;
    }
    if (followed == 0) return std::nullopt;
    return std::pair{followed, ok};
}

}  // namespace pluvik
