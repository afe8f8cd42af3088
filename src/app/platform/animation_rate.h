#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>

#include "platform/render_path.h"

namespace pluvik {

class Trace;

// The frame rate of pages' own animations while the program runs: the user's choice in the options
// dialog (kept in a file of its own in the program directory, so the settings files stay as they
// are), the rendering path, whether the machine runs on battery, and PLUVIK_ANIMATION_FPS, which
// wins over all of them. Every page's frame pacer reads it at each frame, so a change shows at once.
class AnimationRate : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kFileName = "animation.txt";

    // Reads the choice from programDir (Standard when the file is missing or holds something else);
    // powerSupplies is where the machine's power supplies are read.
    AnimationRate(RenderPath path, const QString& programDir, Trace& trace,
                  const QString& powerSupplies = QStringLiteral("/sys/class/power_supply"));

    AnimationChoice choice() const { return m_choice; }
    // Whether PLUVIK_ANIMATION_FPS sets the rate, whatever the choice.
    bool overridden() const { return m_override.has_value(); }
    // Takes effect at once; save() keeps it for the next start.
    void setChoice(AnimationChoice choice);
    // Keeps the choice for the next start, writing the file only when it would say something else
    // (OK without a change leaves the program directory alone); false, with a reason in Chinese in
    // *error, when the file cannot be written.
    bool save(QString* error = nullptr);

    // Frames a second, 0 for every frame; and the least time between two frames, 0 for none.
    int fps() const { return m_fps; }
    std::uint32_t intervalMs() const { return m_fps > 0 ? static_cast<std::uint32_t>(1000 / m_fps) : 0; }

private:
    void update();
    void checkPower();

    RenderPath m_path;
    QString m_file;
    Trace& m_trace;
    QString m_powerSupplies;
    std::optional<int> m_override;
    AnimationChoice m_choice = AnimationChoice::Standard;
    AnimationChoice m_kept = AnimationChoice::Standard;  // what the next start reads
    bool m_onBattery = false;
    int m_fps = -1;
    // The power supplies are read only while they matter (Standard, no override), and slowly: a
    // change of supply is rare and a few seconds late is soon enough.
    QTimer m_powerCheck;
};

}  // namespace pluvik
