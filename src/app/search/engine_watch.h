#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <filesystem>
#include <optional>

#include "search/engine_health.h"
#include "search/engine_outcome.h"
#include "search/engine_table.h"

class QTimer;

namespace pluvik {

class BrowserView;
class Trace;

// The engines' health as the program's health.txt keeps it: read when made, written when asked
// and, if anything is new, when it goes.
class EngineHealthLog : public QObject {
    Q_OBJECT
public:
    EngineHealthLog(std::filesystem::path file, QObject* parent);
    ~EngineHealthLog() override;

    void record(const QString& key, const EngineOutcome& outcome);
    EngineHealth::Summary summary(const QString& key) const;
    // Writes the file if anything is new. A failure is left for the next time: the record is
    // statistics, no user's work, and a message box after every search would be worse.
    void save();

signals:
    void recorded(const QString& key);

private:
    std::filesystem::path m_file;
    EngineHealth m_health;
};

// Follows one page's search navigation to its load's end (and, for a page that loaded where it was
// asked, to the page's answer whether it shows the keyword), or to the deadline, then traces the
// outcome as `engine_outcome`, keeps it and adds it to the health log.
class EngineFollower : public QObject {
    Q_OBJECT
public:
    // Who says when the deadline has passed: the caller (`deadlinePassed`), or a timer of the
    // follower's own started at each navigation, for a window without a wait window. A told follower
    // is one page of a search of many: the question whether its page shows the keyword lays the page
    // out, work that would slow the other pages' loads in the renderers they share, so it is held
    // until the caller says the loads have ended (`askHeld`), kCheckHoldMs at most.
    enum class Deadline { Told, Own };
    static constexpr int kCheckHoldMs = 1000;
    // `tab` is the main window's result tab, traced with the outcome; none elsewhere.
    EngineFollower(Trace& trace, BrowserView* view, QString key, std::optional<int> tab,
                   EngineHealthLog* health, Deadline deadline, QObject* parent);

    // A search of `keyword` begins: the previous search's load still open is news no more.
    void searchStarted(const QString& keyword);
    // The search sent the page to `address` (again for a page the search loads a second time).
    void navigated(const QString& address);
    // A window's own search: `key`'s engine, one navigation of the page to `address`.
    void follow(const QString& key, const QString& keyword, const QString& address);
    // The user tried the engine with `keyword` (the engines page): followed as a search of its own,
    // with a deadline of its own, whether or not a search is open.
    void tried(const QString& keyword, const QString& address);
    // What has not ended by now is slow.
    void deadlinePassed();
    // The page goes: what it reports from now on is no news.
    void detach();
    // The search's loads have ended: a held question goes out now.
    void askHeld();
    // The user stopped the search: an open load gets no outcome.
    void forget() {
        if (m_pending) m_followed = false;
        m_pending.reset();
    }

    const QString& key() const { return m_key; }
    bool followed() const { return m_followed; }
    bool pending() const { return m_pending.has_value(); }
    bool loading() const { return m_pending && !m_pending->awaitingKeyword; }
    const std::optional<EngineOutcome>& outcome() const { return m_outcome; }

signals:
    void decided();

private:
    struct Pending {
        EngineReport report;
        bool awaitingKeyword = false;
        bool asked = false;
    };
    void loadEnded(const LoadOutcome& load);
    void ask();
    void checkDue();
    void keywordChecked(bool shown);
    void decide();

    Trace& m_trace;
    BrowserView* m_view;
    QString m_key;
    std::optional<int> m_tab;
    QPointer<EngineHealthLog> m_health;
    QTimer* m_deadline = nullptr;
    QTimer* m_checkDue = nullptr;
    bool m_ownDeadline = false;
    QString m_keyword;
    QElapsedTimer m_clock;
    std::optional<Pending> m_pending;
    std::optional<EngineOutcome> m_outcome;
    bool m_followed = false;
};

// What each result tab's engine did on the latest search: one follower per tab, the deadline told
// by the search's one clock (the wait window's), the tally once every followed tab has its outcome.
class EngineWatch : public QObject {
    Q_OBJECT
public:
    using Browsers = std::array<BrowserView*, EngineTable::kSlotCount>;
    EngineWatch(Trace& trace, const Browsers& browsers, const std::filesystem::path& programDir,
                QObject* parent);

    // A search of `keyword` begins: last search's loads still open are news no more.
    void searchStarted(const QString& keyword);
    // The search sent `tab` to `address` (once more for a tab the search loads a second time);
    // after the deadline or the stop a navigation is no longer the search's.
    void navigated(int tab, const QString& address);
    // The user tried tab's engine with `keyword`: its outcome counts as any, even after the deadline.
    void tried(int tab, const QString& keyword, const QString& address) { follower(tab).tried(keyword, address); }
    // The search's deadline passed: what has not ended is slow.
    void deadlinePassed();
    // The user stopped the search: the loads still open get no outcome.
    void stopped();
    bool wasStopped() const { return m_stopped; }
    // The pages go: what they report from now on is no news.
    void detach();

    const std::optional<EngineOutcome>& outcome(int tab) const { return follower(tab).outcome(); }
    // How many tabs the latest search followed, and how many of them gave ok; both once every
    // followed tab has its outcome.
    std::optional<std::pair<int, int>> tally() const;
    EngineHealthLog& health() const { return *m_health; }
    // The key a tab's engine goes by: the built-in engines' catalogue key, diy1 and diy2.
    static QString engineKey(int tab);

signals:
    void outcomeDecided(int tab);

private:
    EngineFollower& follower(int tab) const { return *m_followers.at(static_cast<size_t>(tab)); }
    void loadEnded();

    EngineHealthLog* m_health;
    std::array<EngineFollower*, EngineTable::kSlotCount> m_followers{};
    bool m_open = false;
    bool m_stopped = false;
};

}  // namespace pluvik
