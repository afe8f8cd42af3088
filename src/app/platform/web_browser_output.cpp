// Saving and printing a page: the engine's side of the save and print dialogs.
#include <QDir>
#include <QPrinter>
#include <QWebEngineView>
#include <algorithm>
#include <array>

#include "platform/dialogs.h"
#include "platform/qt_text.h"
#include "platform/silent_page.h"
#include "platform/web_browser_view.h"
#include "shell/page_files.h"

namespace pluvik {

bool WebBrowserView::ExecWB(BrowserCommand command, const PageLabel& label) {
    if (!m_session.hasPage()) return false;
    run(m_session.use());
    return command == BrowserCommand::SaveAs ? saveAs(label) : print(label);
}

// "保存网页 - 百度": with 23 dialogs in a row the user sees whose page each one is for.
static QString dialogCaption(const QString& action, const PageLabel& label) {
    return label.owner.isEmpty() ? action : action + QStringLiteral(" - ") + label.owner;
}

// The label's name, or one from the page itself when the caller gave none.
QString WebBrowserView::proposedName(const PageLabel& label) const {
    if (!label.name.isEmpty()) return label.name;
    return toQ(proposedPageName(toStd(m_page->title()), toStd(m_page->url().toString()), {}, {}));
}

bool WebBrowserView::saveAs(const PageLabel& label) {
    static const QStringList kFilters{QStringLiteral("网页，全部 (*.htm *.html)"),
                                      QStringLiteral("网页，仅 HTML (*.htm *.html)"),
                                      QStringLiteral("Web 档案，单个文件 (*.mht *.mhtml)")};
    static constexpr std::array<QWebEngineDownloadRequest::SavePageFormat, 3> kFormats{
        QWebEngineDownloadRequest::CompleteHtmlSaveFormat, QWebEngineDownloadRequest::SingleHtmlSaveFormat,
        QWebEngineDownloadRequest::MimeHtmlSaveFormat};
    const auto answer =
        m_dialogs.askSavePath(this, {dialogCaption(QStringLiteral("保存网页"), label),
                                     QDir::home().filePath(proposedName(label) + ".htm"), kFilters});
    if (!answer) return false;
    m_page->save(answer->path, kFormats.at(static_cast<size_t>(std::clamp(answer->filterIndex, 0, 2))));
    return true;
}

bool WebBrowserView::print(const PageLabel& label) {
    if (m_printing) return false;  // one print job per page at a time
    // The printer must outlive the asynchronous print job, so the view keeps it.
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setResolution(kPrintDotsPerInch);
    // The print dialog proposes the document's name for printing to a file; the extension keeps a
    // dot in the name from being taken for one.
    m_printer->setDocName(proposedName(label) + QStringLiteral(".pdf"));
    if (!m_dialogs.askPrinter(this, *m_printer, dialogCaption(QStringLiteral("打印"), label))) {
        m_printer.reset();
        return false;
    }
    m_printing = true;
    run(m_session.printStarted());
    m_view->print(m_printer.get());
    return true;
}

}  // namespace pluvik
