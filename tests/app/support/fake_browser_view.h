#pragma once

#include <QPointer>
#include <QStringList>
#include <vector>

#include "platform/browser_factory.h"
#include "platform/browser_view.h"

namespace pluvik::test {

// A browser that loads nothing: it records what the window asked of it, and lets a test raise each
// browser event by hand.
class FakeBrowserView : public BrowserView {
    Q_OBJECT
public:
    using BrowserView::BrowserView;

    void Navigate(const QString& address) override;
    void GoBack() override { calls << "back"; }
    void GoForward() override { calls << "forward"; }
    void GoHome() override;
    void Refresh() override { calls << "refresh"; }
    void Stop() override { calls << "stop"; }
    using BrowserView::ExecWB;
    bool ExecWB(BrowserCommand command, const PageLabel& label) override;

    QString LocationURL() const override { return location; }
    QString LocationName() const override { return title.isEmpty() ? location : title; }
    QString DocumentTitle() const override { return title; }
    bool hasPage() const override { return !navigations.isEmpty(); }
    void setSilent(bool s) override { silent = s; }
    bool isSilent() const override { return silent; }
    void checkKeyword(const QString& keyword) override { keywordChecks << keyword; }
    bool waitsForReload() const override { return deadWhileHidden; }
    void reloadHidden() override {
        calls << "reload";
        deadWhileHidden = false;
    }

    // Raising events as the engine would.
    void finishLoad(bool ok = true);
    // The load's end as the engine reports it (on `url`, or where the page is), then finishLoad.
    void endLoad(const LoadOutcome& outcome);
    void setTitle(const QString& text);
    // Asks for a new window; returns the browser the window chose, or nullptr.
    BrowserView* requestNewWindow(const QUrl& url);

    QStringList navigations;
    QStringList keywordChecks;  // every keyword the page was asked for
    QStringList calls;          // every call in order, "navigate <address>" among them
    QString location;
    QString title;
    QString homeAddress = QStringLiteral("about:home");
    bool silent = false;
    bool execResult = true;
    bool deadWhileHidden = false;  // its renderer ended while it was hidden
    QList<PageLabel> labels;  // what each save or print dialog would have said
};

class FakeBrowserFactory : public BrowserFactory {
public:
    BrowserView* create(QWidget* parent, const QString& objectName) override;
    std::vector<QPointer<FakeBrowserView>> created;
};

}  // namespace pluvik::test
