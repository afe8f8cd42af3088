#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include "browse/page_session.h"

namespace pluvik {

class BrowserView;

// The page slot of a new-window request. A handler that wants the page puts a browser into
// `target`; the page then loads there. Left empty, the page opens in the system web browser.
struct NewWindowSlot {
    QUrl requestedUrl;
    BrowserView* target = nullptr;
};

enum class BrowserCommand { SaveAs = 4, Print = 6 };

// What the save and print dialogs of a page say: whose page it is, in their caption ("打印 - 百度"),
// and the file name they propose, without extension. Empty, the dialogs say neither.
struct PageLabel {
    QString owner;
    QString name;
};

// The one browser widget every window uses. Navigation returns at once; progress arrives as the
// events below. The real implementation sits on Qt WebEngine; window tests use a recording double.
class BrowserView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~BrowserView() override = default;

    virtual void Navigate(const QString& address) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void GoHome() = 0;
    virtual void Refresh() = 0;
    virtual void Stop() = 0;
    // Shows the save or print dialog for the page. Returns false when the command was not carried
    // out (no page, the dialog was cancelled).
    virtual bool ExecWB(BrowserCommand command, const PageLabel& label) = 0;
    bool ExecWB(BrowserCommand command) { return ExecWB(command, {}); }

    virtual QString LocationURL() const = 0;
    virtual QString LocationName() const = 0;
    virtual QString DocumentTitle() const = 0;
    // Whether the browser has ever been sent anywhere.
    virtual bool hasPage() const = 0;
    // Whether the page's renderer ended while it was hidden, so it holds no page until it loads
    // again (when it is shown, or by reloadHidden). reloadHidden loads it again now; the load ends
    // with DownloadComplete as any other.
    virtual bool waitsForReload() const { return false; }
    virtual void reloadHidden() {}

    virtual void setSilent(bool silent) = 0;
    virtual bool isSilent() const = 0;
    // Asks the page whether its title or text shows `keyword` as typed; the answer comes as
    // KeywordChecked. The page's text stays in the page.
    virtual void checkKeyword(const QString& keyword) = 0;

signals:
    void DownloadBegin();
    void DownloadComplete(bool ok);
    void DocumentComplete();
    // How the load ended, as the engine reported it; before DownloadComplete.
    void LoadEnded(const pluvik::LoadOutcome& outcome);
    void KeywordChecked(bool shown);
    void TitleChange();
    // Emitted before the new page loads; handlers are called directly and may fill the slot.
    void NewWindow2(pluvik::NewWindowSlot& slot);
};

}  // namespace pluvik
