#pragma once

#include <QString>
#include <vector>

namespace pluvik {

struct Settings;

// What the options dialog changes on the main window: the result tabs 0..22 (tab n is the n-th engine
// of the settings; 21 and 22 are the user-defined engines).
class OptionsTarget {
public:
    virtual ~OptionsTarget() = default;
    virtual void setTabVisible(int tab, bool visible) = 0;
    virtual void setTabCaption(int tab, const QString& caption) = 0;
    // The visibility of every result tab, tab 0 first.
    virtual std::vector<bool> tabVisibility() const = 0;
    // "确定" kept these switches (saved, or held for this run when saving failed).
    virtual void switchesSaved(const Settings&) {}
    // Whether a search loads only the tab in front and every other tab when it is first shown.
    virtual bool loadsTabsWhenShown() const { return false; }
    // Takes effect from the next search; `keep` also keeps it for the next start (false, with the
    // reason in Chinese in *error, when that fails).
    virtual bool setLoadsTabsWhenShown(bool /*on*/, bool /*keep*/, QString* /*error*/) { return true; }
};

}  // namespace pluvik
