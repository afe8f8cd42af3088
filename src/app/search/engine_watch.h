#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <array>
#include <optional>

#include "search/engine_outcome.h"
#include "search/engine_table.h"

class QTimer;

namespace pluvik {

class BrowserView;
class Trace;

// What each result tab's engine did on the latest search: every search navigation is followed to
// its load's end (and, for a page that loaded where it was asked, to the page's answer whether it
// shows the keyword), or to the pages-opened deadline, and the outcome is traced and kept.
class EngineWatch : public QObject {
    Q_OBJECT
public:
    using Browsers = std::array<BrowserView*, EngineTable::kSlotCount>;
    EngineWatch(Trace& trace, const Browsers& browsers, QObject* parent);

    // A search of `keyword` begins: the deadline starts again, and last search's loads still open
    // are news no more.
    void searchStarted(const QString& keyword);
    // The search sent `tab` to `address` (once more for a tab the search loads a second time).
    void navigated(int tab, const QString& address);

    const std::optional<EngineOutcome>& outcome(int tab) const {
        return m_outcomes.at(static_cast<size_t>(tab));
    }
    // How many tabs the latest search followed, and how many of them gave ok; both once every
    // followed tab has its outcome.
    std::optional<std::pair<int, int>> tally() const;

    // The pages-opened deadline passed (its timer calls this): what has not ended is slow.
    void deadlinePassed();

signals:
    void outcomeDecided(int tab);

private:
    struct Pending {
        EngineReport report;
        bool awaitingKeyword = false;
    };
    void loadEnded(int tab, const LoadOutcome& load);
    void keywordChecked(int tab, bool shown);
    void decide(int tab);

    Trace& m_trace;
    Browsers m_browsers;
    QString m_keyword;
    QElapsedTimer m_clock;
    QTimer* m_deadline;
    std::array<std::optional<Pending>, EngineTable::kSlotCount> m_pending;
    std::array<std::optional<EngineOutcome>, EngineTable::kSlotCount> m_outcomes;
    std::array<bool, EngineTable::kSlotCount> m_followed{};
};

}  // namespace pluvik
