#include "window/LogPane.h"

#include "platform/MainWindow.h"
#include "window/MainForm.h"

namespace carrovex
{

namespace
{

struct PaneLayout {
    bool visible;
    int outerHeight;
    int frameHeight;
    int buttonTop;
};

constexpr PaneLayout tall {true, 4080, 3675, 3210};
constexpr PaneLayout shortLayout {false, 3060, 2655, 2190};
constexpr int outerWidth = 6150;

void apply(MainWindow& window, const PaneLayout& layout)
{
    window.setVisible(Control::List1, layout.visible);
    window.setVisible(Control::Label4, layout.visible);
    window.setOuterHeight(layout.outerHeight);
    window.setFrameHeight(layout.frameHeight);
    for (const Control button : {Control::cmdStopStart, Control::cmdQuit, Control::cmdOpt}) {
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
    if (form.window.isMinimized() || form.state.bLoading) {
        return;
    }
    form.window.setOuterHeight(form.window.value(Control::Check1) == 1 ? tall.outerHeight : shortLayout.outerHeight);
    form.window.setOuterWidth(outerWidth);
}

} // namespace carrovex
