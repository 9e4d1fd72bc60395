#include "form/LogPane.h"

#include "form/MainForm.h"
#include "platform/MainWindow.h"

namespace carrovex
{

namespace
{

struct PaneLayout {
    bool visible;
    int outerHeight;
    int panelHeight;
    int buttonTop;
};

constexpr PaneLayout tall {true, 4080, 3675, 3210};
constexpr PaneLayout shortLayout {false, 3060, 2655, 2190};
constexpr int outerWidth = 6150;

void apply(MainWindow& window, const PaneLayout& layout)
{
    window.setVisible(Control::Log, layout.visible);
    window.setVisible(Control::LogLabel, layout.visible);
    window.setOuterHeight(layout.outerHeight);
    window.setPanelHeight(layout.panelHeight);
    for (const Control button : {Control::StartStop, Control::Quit, Control::Settings}) {
        window.setTop(button, layout.buttonTop);
    }
}

} // namespace

void ShowLogPane(MainWindow& window)
{
    apply(window, tall);
}

void HideLogPane(MainWindow& window)
{
    apply(window, shortLayout);
}

void Form_Resize(MainForm& form)
{
    if (form.window.isMinimized() || form.state.loading) {
        return;
    }
    form.window.setOuterHeight(form.window.value(Control::ShowLog) == 1 ? tall.outerHeight : shortLayout.outerHeight);
    form.window.setOuterWidth(outerWidth);
}

} // namespace carrovex
