#pragma once

namespace pluvik {

// The typed-text lists the trace cleaner empties on the windows that own them.
class CleanerTargets {
public:
    virtual ~CleanerTargets() = default;
    // Combo1 of the main search window: every keyword and the edit text.
    virtual void clearKeywordHistory() = 0;
    // Combo1 of the default secondary browser window when it is open (a closed one has no list);
    // secondary windows opened for links keep their lists.
    virtual void clearBrowseAddressList() = 0;
};

}  // namespace pluvik
