#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace pluvik {

// One control of a window as the proportional layout sees it. Geometry is in twips, relative to the
// window's inner area. The tag is the control's free text, where the design geometry is kept.
class LayoutControl {
public:
    virtual ~LayoutControl() = default;
    // False for things in the control collection that have no place on the window (menu entries,
    // timers): their tag is left alone.
    virtual bool hasGeometry() const = 0;
    virtual double left() const = 0;
    virtual double top() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual std::string tag() const = 0;
    virtual void setTag(std::string tag) = 0;
    virtual bool canMove() const = 0;
    virtual void move(double left, double top, double width, double height) = 0;
};

// A window with a proportional layout: its inner size in twips and its controls in collection order.
class LayoutWindow {
public:
    virtual ~LayoutWindow() = default;
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;
    virtual std::vector<LayoutControl*> controls() = 0;
};

// Keeps every control of one window at its design place in proportion to the window's inner size.
// The design geometry lives in each control's tag as "left top width height " (one blank after each
// number); the reference size is held here, so each window needs its own Moveform and two windows
// never disturb each other's layout.
class Moveform {
public:
    // Takes the window's inner size as the reference and writes every control's geometry into its tag.
    void RecordLayout(LayoutWindow& window);
    // Moves every control to its recorded geometry times the ratio of the current inner size to the
    // reference size. Scaling always starts from the tags, so going back to the design size restores
    // the design geometry exactly. Does nothing before RecordLayout or with an empty reference size.
    void ScaleLayout(LayoutWindow& window) const;

    bool hasReference() const { return m_hasReference; }
    float referenceWidth() const { return m_referenceWidth; }
    float referenceHeight() const { return m_referenceHeight; }

private:
    // Single precision, as the window reports its scale size.
    float m_referenceWidth = 0;
    float m_referenceHeight = 0;
    bool m_hasReference = false;
};

// The number as the tag holds it: the shortest decimal text that reads back as the same
// single-precision value, without exponent and without a trailing ".0" ("120", "1234.5", "-15").
std::string formatLayoutNumber(double value);

// "l t w h " for the given geometry.
std::string layoutTag(double left, double top, double width, double height);

// Up to five numbers of a tag. Field k runs from the current position to the next blank; with no blank
// left, the field and every later one is 0. A field that is not a number reads as 0; `parsed` counts
// the fields that were numbers, so a tag with none of them can be told apart.
struct LayoutTagNumbers {
    std::array<double, 5> value{};
    int parsed = 0;
};
LayoutTagNumbers readLayoutTag(std::string_view tag);

// Pixel and twips conversions with the screen's twips-per-pixel factor, rounded to the nearest whole
// unit. A factor of 0 or less gives 0 pixels.
int twipsFromPixels(int pixels, double twipsPerPixel);
int pixelsFromTwips(double twips, double twipsPerPixel);

}  // namespace pluvik
