#include "search/engine_watch.h"

#include <QTimer>

#include "platform/browser_view.h"
#include "platform/qt_text.h"
#include "platform/trace.h"
#include "shell/wait_window_state.h"

namespace pluvik {

namespace {

// The engine's code for a load given up because another began in its page.
constexpr int kAbortedLoad = -3;

// The built-in engines go by their catalogue key; the user's two by their slot.
QString engineKey(int tab) {
    if (tab >= EngineTable::kDiy1Tab) return QStringLiteral("diy%1").arg(tab - EngineTable::kDiy1Tab + 1);
    return toQ(EngineTable::slot(tab).field);
}

}  // namespace

EngineWatch::EngineWatch(Trace& trace, const Browsers& browsers, QObject* parent)
    : QObject(parent), m_trace(trace), m_browsers(browsers), m_deadline(new QTimer(this)) {
    m_clock.start();
    m_deadline->setObjectName(QStringLiteral("engineDeadline"));
    m_deadline->setSingleShot(true);
    m_deadline->setInterval(static_cast<int>(WaitWindowState::kPagesOpenedDeadlineMs));
    connect(m_deadline, &QTimer::timeout, this, &EngineWatch::deadlinePassed);
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        BrowserView* view = m_browsers.at(static_cast<size_t>(tab));
        connect(view, &BrowserView::LoadEnded, this,
                [this, tab](const LoadOutcome& load) { loadEnded(tab, load); });
        connect(view, &BrowserView::KeywordChecked, this,
                [this, tab](bool shown) { keywordChecked(tab, shown); });
    }
}

void EngineWatch::searchStarted(const QString& keyword) {
    m_keyword = keyword;
    m_pending.fill(std::nullopt);
    m_followed.fill(false);
    m_deadline->start();
}

void EngineWatch::navigated(int tab, const QString& address) {
    if (!m_deadline->isActive()) return;
    const auto index = static_cast<size_t>(tab);
    m_pending.at(index) = Pending{EngineReport{toStd(address), m_clock.elapsed(), std::nullopt, 0, false}};
    m_followed.at(index) = true;
}

std::optional<std::pair<int, int>> EngineWatch::tally() const {
    int followed = 0;
    int ok = 0;
    for (size_t tab = 0; tab < m_followed.size(); ++tab) {
        if (!m_followed.at(tab)) continue;
        if (m_pending.at(tab) || !m_outcomes.at(tab)) return std::nullopt;
        ++followed;
        if (m_outcomes.at(tab)->result == EngineResult::Ok) ++ok;
    }
    if (followed == 0) return std::nullopt;
    return std::pair{followed, ok};
}

void EngineWatch::loadEnded(int tab, const LoadOutcome& load) {
    std::optional<Pending>& pending = m_pending.at(static_cast<size_t>(tab));
    // The page's earlier load, broken off by the search's, is not the search's answer.
    if (!pending || pending->awaitingKeyword || (!load.ok && load.errorCode == kAbortedLoad)) return;
    pending->report.load = load;
    pending->report.finishedAt = m_clock.elapsed();
    if (!needsKeywordCheck(pending->report)) return decide(tab);
    pending->awaitingKeyword = true;
    m_browsers.at(static_cast<size_t>(tab))->checkKeyword(m_keyword);
}

void EngineWatch::keywordChecked(int tab, bool shown) {
    std::optional<Pending>& pending = m_pending.at(static_cast<size_t>(tab));
    if (!pending || !pending->awaitingKeyword) return;
    pending->report.keywordShown = shown;
    decide(tab);
}

void EngineWatch::decide(int tab) {
    const auto index = static_cast<size_t>(tab);
    EngineReport report = std::move(m_pending.at(index)->report);
    m_pending.at(index).reset();
    const EngineOutcome outcome = decideOutcome(report);
    m_outcomes.at(index) = outcome;
    m_trace.record("engine_outcome", {{"tab", tab},
                                      {"key", engineKey(tab)},
                                      {"outcome", toQ(resultName(outcome.result))},
                                      {"status", outcome.status},
                                      {"error", outcome.errorCode},
                                      {"ms", static_cast<qint64>(outcome.ms)},
                                      {"host", toQ(outcome.host)},
                                      {"final_host", toQ(outcome.finalHost)}});
    emit outcomeDecided(tab);
}

void EngineWatch::deadlinePassed() {
    for (int tab = 0; tab < EngineTable::kSlotCount; ++tab) {
        std::optional<Pending>& pending = m_pending.at(static_cast<size_t>(tab));
        if (!pending) continue;
        // A page still busy answering for the keyword has not opened either.
        pending->report.load.reset();
        decide(tab);
    }
}

}  // namespace pluvik
