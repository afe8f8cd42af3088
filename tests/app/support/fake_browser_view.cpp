#include "support/fake_browser_view.h"

namespace pluvik::test {

void FakeBrowserView::Navigate(const QString& address) {
    navigations << address;
    calls << "navigate " + address;
    location = address;
}

void FakeBrowserView::GoHome() {
    calls << "home";
    navigations << homeAddress;
    location = homeAddress;
}

bool FakeBrowserView::ExecWB(BrowserCommand command, const PageLabel& label) {
    calls << (command == BrowserCommand::SaveAs ? "save" : "print");
    labels << label;
    return execResult;
}

void FakeBrowserView::finishLoad(bool ok) {
    emit DownloadComplete(ok);
    emit DocumentComplete();
}

void FakeBrowserView::endLoad(const LoadOutcome& outcome) {
    emit LoadEnded(outcome);
    finishLoad(outcome.ok);
}

void FakeBrowserView::setTitle(const QString& text) {
    title = text;
    emit TitleChange();
}

BrowserView* FakeBrowserView::requestNewWindow(const QUrl& url) {
    NewWindowSlot slot{url, nullptr};
    emit NewWindow2(slot);
    if (slot.target) slot.target->Navigate(url.toString());
    return slot.target;
}

BrowserView* FakeBrowserFactory::create(QWidget* parent, const QString& objectName) {
    auto* view = new FakeBrowserView(parent);
    view->setObjectName(objectName);
    created.push_back(view);
    return view;
}

}  // namespace pluvik::test
