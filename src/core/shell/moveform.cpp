#include "shell/moveform.h"

#include <charconv>
#include <cmath>

namespace pluvik {

void Moveform::RecordLayout(LayoutWindow& window) {
    m_referenceWidth = static_cast<float>(window.scaleWidth());
    m_referenceHeight = static_cast<float>(window.scaleHeight());
    m_hasReference = true;
    for (LayoutControl* control : window.controls()) {
        // Menu entries and timers are in the collection too; they have no place and keep their tag.
        if (control == nullptr || !control->hasGeometry()) continue;
        control->setTag(layoutTag(control->left(), control->top(), control->width(), control->height()));
    }
}

void Moveform::ScaleLayout(LayoutWindow& window) const {
    if (!m_hasReference || m_referenceWidth == 0 || m_referenceHeight == 0) return;
    const double ratioX = window.scaleWidth() / static_cast<double>(m_referenceWidth);
    const double ratioY = window.scaleHeight() / static_cast<double>(m_referenceHeight);
    for (LayoutControl* control : window.controls()) {
        if (control == nullptr || !control->canMove()) continue;
        const LayoutTagNumbers n = readLayoutTag(control->tag());
        // A control that was never recorded (or whose tag was reused for other text) stays put.
        if (n.parsed == 0) continue;
        control->move(ratioX * n.value[0], ratioY * n.value[1], ratioX * n.value[2], ratioY * n.value[3]);
    }
}

std::string formatLayoutNumber(double value) {
    char buffer[128];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value), std::chars_format::fixed);
    if (result.ec != std::errc()) return "0";
    return std::string(buffer, result.ptr);
}

std::string layoutTag(double left, double top, double width, double height) {
    std::string tag;
    for (double v : {left, top, width, height}) {
        tag += formatLayoutNumber(v);
        tag += ' ';
    }
    return tag;
}

LayoutTagNumbers readLayoutTag(std::string_view tag) {
    LayoutTagNumbers out;
    size_t pos = 0;
    for (double& number : out.value) {
        const size_t blank = tag.find(' ', pos);
        if (blank == std::string_view::npos) continue;  // no blank left: this number is 0
        const std::string_view field = tag.substr(pos, blank - pos);
        pos = blank + 1;
        double parsed = 0;
        const auto result = std::from_chars(field.data(), field.data() + field.size(), parsed);
        if (field.empty() || result.ec != std::errc() || result.ptr != field.data() + field.size() ||
            !std::isfinite(parsed)) {
            continue;  // not a number: reads as 0
        }
        number = parsed;
        ++out.parsed;
    }
    return out;
}

int twipsFromPixels(int pixels, double twipsPerPixel) {
    return static_cast<int>(std::lround(pixels * twipsPerPixel));
}

int pixelsFromTwips(double twips, double twipsPerPixel) {
    if (!(twipsPerPixel > 0)) return 0;
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

}  // namespace pluvik
