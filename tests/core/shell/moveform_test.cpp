#include "shell/moveform.h"

#include <gtest/gtest.h>

#include <memory>

using namespace pluvik;

namespace {

struct Rect {
    double l = 0, t = 0, w = 0, h = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

class FakeControl : public LayoutControl {
public:
    explicit FakeControl(Rect r, bool geometry = true, bool movable = true)
        : m_rect(r), m_geometry(geometry), m_movable(movable) {}
    bool hasGeometry() const override { return m_geometry; }
    double left() const override { return m_rect.l; }
    double top() const override { return m_rect.t; }
    double width() const override { return m_rect.w; }
    double height() const override { return m_rect.h; }
    std::string tag() const override { return m_tag; }
    void setTag(std::string tag) override { m_tag = std::move(tag); }
    bool canMove() const override { return m_movable; }
    void move(double l, double t, double w, double h) override {
        m_rect = {l, t, w, h};
        ++moves;
    }
    Rect rect() const { return m_rect; }
    int moves = 0;

private:
    Rect m_rect;
    bool m_geometry, m_movable;
    std::string m_tag;
};

class FakeWindow : public LayoutWindow {
public:
    FakeWindow(double w, double h) : width(w), height(h) {}
    double scaleWidth() const override { return width; }
    double scaleHeight() const override { return height; }
    std::vector<LayoutControl*> controls() override {
        std::vector<LayoutControl*> out;
        for (auto& c : items) out.push_back(c.get());
        return out;
    }
    FakeControl& add(Rect r, bool geometry = true, bool movable = true) {
        items.push_back(std::make_unique<FakeControl>(r, geometry, movable));
        return *items.back();
    }
    double width, height;
    std::vector<std::unique_ptr<FakeControl>> items;
};

}  // namespace

TEST(Moveform, NumbersAreWrittenInTheShortestSinglePrecisionForm) {
    EXPECT_EQ(formatLayoutNumber(120), "120");
    EXPECT_EQ(formatLayoutNumber(1234.5), "1234.5");
    EXPECT_EQ(formatLayoutNumber(-15), "-15");
    EXPECT_EQ(formatLayoutNumber(0.1), "0.1");
    EXPECT_EQ(formatLayoutNumber(16777217), "16777216");  // not a single-precision value
    EXPECT_EQ(formatLayoutNumber(15240000), "15240000");  // no exponent
    EXPECT_EQ(layoutTag(120, 0, 1234.5, 37.25), "120 0 1234.5 37.25 ");
}

TEST(Moveform, TagReaderTakesFieldsUpToEachBlank) {
    LayoutTagNumbers n = readLayoutTag("1 2.5 -3 4 5 6 ");
    EXPECT_EQ(n.value, (std::array<double, 5>{1, 2.5, -3, 4, 5}));
    EXPECT_EQ(n.parsed, 5);

    n = readLayoutTag("100 200 300 400");  // no blank after the last field: it reads as 0
    EXPECT_EQ(n.value, (std::array<double, 5>{100, 200, 300, 0, 0}));
    EXPECT_EQ(n.parsed, 3);

    n = readLayoutTag("7 x 2abc  9 ");  // bad and empty fields read as 0
    EXPECT_EQ(n.value, (std::array<double, 5>{7, 0, 0, 0, 9}));
    EXPECT_EQ(n.parsed, 2);

    EXPECT_EQ(readLayoutTag("").parsed, 0);
    EXPECT_EQ(readLayoutTag("Tab text ").parsed, 0);
}

TEST(Moveform, RecordWritesEveryPlacedControlAndLeavesOthersAlone) {
    FakeWindow window(15240, 10260);
    FakeControl& button = window.add({120, 60, 1234.5, 37.3});
    button.setTag("old text");
    FakeControl& timer = window.add({}, /*geometry=*/false);
    timer.setTag("keep me");

    Moveform layout;
    EXPECT_FALSE(layout.hasReference());
    layout.RecordLayout(window);
    EXPECT_TRUE(layout.hasReference());
    EXPECT_EQ(layout.referenceWidth(), 15240.0f);
    EXPECT_EQ(button.tag(), "120 60 1234.5 37.3 ");
    EXPECT_EQ(timer.tag(), "keep me");
}

TEST(Moveform, ScalingFollowsTheWindowAndReturnsToTheDesignExactly) {
    FakeWindow window(15240, 10260);
    const Rect a{120, 60, 1234.5, 37.3}, b{0, 900, 15240, 9000.1};
    FakeControl& ca = window.add(a);
    FakeControl& cb = window.add(b);
    Moveform layout;
    layout.RecordLayout(window);

    window.width = 30480;
    window.height = 20520;
    layout.ScaleLayout(window);
    EXPECT_EQ(ca.rect(), (Rect{240, 120, 2469, 74.6}));
    EXPECT_EQ(cb.rect(), (Rect{0, 1800, 30480, 18000.2}));

    window.width = 7620;  // each axis has its own ratio
    layout.ScaleLayout(window);
    EXPECT_EQ(ca.rect(), (Rect{60, 120, 617.25, 74.6}));

    window.width = 15240;
    window.height = 10260;
    layout.ScaleLayout(window);
    EXPECT_EQ(ca.rect(), a);
    EXPECT_EQ(cb.rect(), b);
}

TEST(Moveform, ControlsThatCannotBeScaledAreSkipped) {
    FakeWindow window(1000, 1000);
    FakeControl& fixed = window.add({10, 10, 10, 10}, true, /*movable=*/false);
    FakeControl& unrecorded = window.add({20, 20, 20, 20});
    FakeControl& partial = window.add({30, 30, 30, 30});
    Moveform layout;
    layout.RecordLayout(window);
    unrecorded.setTag("");
    partial.setTag("100 200 ");

    window.width = window.height = 2000;
    layout.ScaleLayout(window);
    EXPECT_EQ(fixed.moves, 0);
    EXPECT_EQ(unrecorded.moves, 0);
    EXPECT_EQ(unrecorded.rect(), (Rect{20, 20, 20, 20}));
    EXPECT_EQ(partial.rect(), (Rect{200, 400, 0, 0}));  // missing numbers are 0
}

TEST(Moveform, NoScalingWithoutAUsableReference) {
    FakeWindow window(0, 500);
    FakeControl& c = window.add({10, 10, 10, 10});
    c.setTag("1 2 3 4 ");
    Moveform layout;
    layout.ScaleLayout(window);  // nothing recorded yet
    EXPECT_EQ(c.moves, 0);
    layout.RecordLayout(window);  // zero width
    window.width = 100;
    layout.ScaleLayout(window);
    EXPECT_EQ(c.moves, 0);
}

TEST(Moveform, EachWindowKeepsItsOwnReference) {
    FakeWindow first(1000, 1000), second(4000, 2000);
    FakeControl& c1 = first.add({100, 100, 100, 100});
    second.add({100, 100, 100, 100});
    Moveform layout1, layout2;
    layout1.RecordLayout(first);
    layout2.RecordLayout(second);  // must not change the first window's reference
    first.width = first.height = 2000;
    layout1.ScaleLayout(first);
    EXPECT_EQ(c1.rect(), (Rect{200, 200, 200, 200}));
}

TEST(Moveform, PixelTwipsConversionsRoundToNearest) {
    EXPECT_EQ(twipsFromPixels(100, 15), 1500);
    EXPECT_EQ(twipsFromPixels(7, 11.25), 79);  // 78.75
    EXPECT_EQ(pixelsFromTwips(1500, 15), 100);
    EXPECT_EQ(pixelsFromTwips(1000, 11.25), 89);  // 88.9
    EXPECT_EQ(pixelsFromTwips(1000, 0), 0);
}
