#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <cstdint>

#include "app_context.h"
#include "shell/settings.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace pluvik {

class OptionsTarget;
struct TabPlan;

// The options dialog frmOptions "选项": which engines get a result tab, the two user-defined engines,
// the browser for links and how calm pages' own animations are shown. While it is open its controls
// are the live settings every reader sees.
// Modeless; it deletes itself when closed.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Check boxes by tab: 0..20 the engines, 21 opendiy1, 22 opendiy2.
    static constexpr int kBoxCount = EngineTable::kSlotCount;

    OptionsDialog(AppContext context, OptionsTarget& target, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // The menu commands: shows the open dialog again with its unsaved values, or opens a new one.
    static OptionsDialog* showOptions(QPointer<OptionsDialog>& instance, AppContext context,
                                      OptionsTarget& target, QWidget* parent = nullptr);

    // The settings as the controls hold them now.
    Settings valuesFromControls() const;
    // A switch saved elsewhere while the dialog is open (the engines page): its box shows it, so the
    // dialog's 确定 keeps it.
    void followSwitch(int tab, bool on) { setBoxValue(tab, on ? 1 : 0); }

    QTabWidget* pages() const { return m_ssTab1; }

public slots:
    // 应用: the engine boxes go to the main window at once; nothing is saved.
    void cmdApplyClick();
    // 确定: everything goes to the main window, the settings files are written, the dialog closes.
    void cmdOKClick();
    // 取消, Escape and the close box: the dialog closes and its values are dropped.
    void cmdCancelClick();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Ending { Discard, Keep };

    void buildControls();
    QWidget* buildEnginesPage();
    QWidget* buildDiyPage();
    QWidget* buildBrowserPage();
    // 网页动画: how calm pages' own animations are shown (流畅, 标准, 省电).
    QGroupBox* buildAnimationChoice(QWidget* page);
    void applyAnimation();
    // 打开网页: whether a search loads only the tab in front and the others when they are shown.
    QGroupBox* buildTabLoadingChoice(QWidget* page);
    void applyTabLoading(bool keep);
    QWidget* buildStatementPage();
    void centreOnScreen();
    void load();
    void fillControls(const Settings& settings);
    void setBoxValue(int box, std::int16_t value);
    std::int16_t boxValue(int box) const;
    void carryOut(const TabPlan& plan);
    void finish(Ending ending);

    AppContext m_ctx;
    OptionsTarget& m_target;
    QTabWidget* m_ssTab1 = nullptr;
    std::array<QCheckBox*, kBoxCount> m_boxes{};
    // A box loaded with a value other than 0 and 1 (a hand-edited file) shows half checked and keeps
    // that value until the user clicks it.
    std::array<std::int16_t, kBoxCount> m_heldValues{};
    std::array<QLineEdit*, 2> m_diyName{};
    std::array<QLineEdit*, 2> m_diyUrl{};
    std::array<QComboBox*, 2> m_diyEncoding{};
    QRadioButton* m_sousuo = nullptr;
    QRadioButton* m_ie = nullptr;
    QButtonGroup* m_animation = nullptr;
    QCheckBox* m_whenShown = nullptr;
    bool m_saved = false;
    bool m_finished = false;
    bool m_toldKeptTab = false;
};

}  // namespace pluvik
