#pragma once

namespace pluvik {

// When a page may be frozen (its scripts, timers and animations stopped). 23 result pages animating
// in hidden tabs cost several times the CPU of the one the user looks at, so a hidden page that has
// loaded is frozen. Loading is never held back; a page being printed or showing a page of the
// program's own stays awake, and so does a page whose load failed: it has nothing to run, and the
// engine may never start the next load of a page frozen in that state. Anything the program does
// with a page (save, print, navigate, refresh, go back or forward) wakes it first, and it stays
// awake until it settles again: it is shown or hidden, a load or a print job finishes.
class FreezeRule {
public:
    // What the page reports.
    void setVisible(bool visible);
    void loadStarted() { m_loading = true; }
    void loadFinished(bool ok);
    void printStarted() { m_printing = true; }
    void printFinished();
    // Facts the page holds: whether it has a renderer process, whether it shows a page of the
    // program's own.
    void setRenderer(bool running) { m_renderer = running; }
    void setOwnPage(bool showing) { m_ownPage = showing; }

    // The program is about to do something with the page: it must run first.
    void use() { m_used = true; }

    bool frozen() const {
        return !m_visible && !m_loading && !m_failed && !m_printing && m_renderer && !m_ownPage && !m_used;
    }

private:
    bool m_visible = false;
    bool m_loading = false;
    bool m_failed = false;
    bool m_printing = false;
    bool m_renderer = false;
    bool m_ownPage = false;
    bool m_used = false;
};

}  // namespace pluvik
