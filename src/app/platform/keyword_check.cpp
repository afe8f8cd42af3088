#include "platform/keyword_check.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace pluvik {

namespace {

// A text node is shown when it has boxes of its own (not inside display:none, a closed details, a
// script or a form control's value) and its element is visible, as the page's shown text counts it.
const char* kScript = R"((function(k) {
  if (String(document.title).includes(k)) return true;
  var body = document.body;
  if (!body) return false;
  var walker = document.createTreeWalker(body, NodeFilter.SHOW_TEXT), range = document.createRange(), node;
  while ((node = walker.nextNode())) {
    if (node.data.indexOf(k) < 0 || !node.parentElement) continue;
    range.selectNodeContents(node);
    if (range.getClientRects().length > 0 && getComputedStyle(node.parentElement).visibility === 'visible')
      return true;
  }
  return body.innerText.includes(k);
})(%1[0]))";

}  // namespace

QString keywordCheckScript(const QString& keyword) {
    const QString literal =
        QString::fromUtf8(QJsonDocument(QJsonArray{keyword}).toJson(QJsonDocument::Compact));
    return QString::fromLatin1(kScript).arg(literal);
}

}  // namespace pluvik
