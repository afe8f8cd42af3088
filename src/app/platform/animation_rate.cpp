#include "platform/animation_rate.h"

#include <QDir>

#include "platform/qt_text.h"
#include "platform/trace.h"
#include "shell/file_io.h"

namespace pluvik {

namespace {

constexpr int kPowerCheckMs = 20000;

}  // namespace

AnimationRate::AnimationRate(RenderPath path, const QString& programDir, Trace& trace,
                             const QString& powerSupplies)
    : m_path(path),
      m_file(QDir(programDir).filePath(QString::fromLatin1(kFileName))),
      m_trace(trace),
      m_powerSupplies(powerSupplies),
      m_override(animationFpsOverride(qEnvironmentVariable(kAnimationFpsVariable).toStdString())) {
    if (const std::optional<std::string> bytes = readFileBytes(toStd(m_file)))
        m_choice = m_kept = parseAnimationChoice(*bytes).value_or(AnimationChoice::Standard);
    m_powerCheck.setInterval(kPowerCheckMs);
    m_powerCheck.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_powerCheck, &QTimer::timeout, this, &AnimationRate::checkPower);
    update();
}

void AnimationRate::setChoice(AnimationChoice choice) {
    m_choice = choice;
    update();
}

bool AnimationRate::save(QString* error) {
    if (m_choice == m_kept) return true;
    std::string reason;
    if (!writeFileAtomically(toStd(m_file), std::string(animationChoiceName(m_choice)) + "\n", &reason)) {
        if (error) *error = toQ(reason);
        return false;
    }
    m_kept = m_choice;
    return true;
}

void AnimationRate::checkPower() {
    const bool onBattery = runsOnBattery(toStd(m_powerSupplies));
    if (onBattery == m_onBattery) return;
    m_onBattery = onBattery;
    update();
}

void AnimationRate::update() {
    const bool powerMatters = !m_override && m_choice == AnimationChoice::Standard;
    if (powerMatters && !m_powerCheck.isActive()) {
        m_onBattery = runsOnBattery(toStd(m_powerSupplies));
        m_powerCheck.start();
    }
    if (!powerMatters) m_powerCheck.stop();
    const int fps = m_override ? *m_override : chooseAnimationFps(m_path, {}, m_choice, m_onBattery);
    if (fps == m_fps) return;
    m_fps = fps;
    m_trace.record("animation_rate", {{"fps", fps},
                                      {"choice", QString::fromLatin1(animationChoiceName(m_choice))},
                                      {"on_battery", m_onBattery},
                                      {"overridden", overridden()}});
}

}  // namespace pluvik
